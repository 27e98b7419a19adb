#pragma once
#include <array>
#include <cstdint>

// What one cabinet's day comes to, in ten-second slots and sums; the figures
// shown, printed and exported are derived from it.
//
// A slot "has data" when both set points and both readings are present.
// Measured values, deviations, tolerance and duty figures cover the slots
// with data only; alarm, door and turning figures cover every slot, since a
// cabinet reports its alarms and states even when a sensor fails.
// An episode (an alarm, a door opening, a motor start) is a run of
// consecutive slots with the bit set: a slot without a record ends it.
namespace report {

constexpr int alarmBitCount = 11;   // alarm word bits 0..10

// Slots turn into minutes as slots / 6, shown with one decimal everywhere.
constexpr double slotsToMinutes(int slotCount) { return slotCount / 6.0; }

struct ValueSummary
{
    double min = 0, max = 0;
    double sum = 0;            // of the readings, over slots with data
    double deviationSum = 0;   // of reading - set point, signed
    int aboveSlots = 0;        // reading above set point + tolerance
    int belowSlots = 0;        // reading below set point - tolerance

    double mean(int dataSlots) const { return dataSlots ? sum / dataSlots : 0; }
    double meanDeviation(int dataSlots) const { return dataSlots ? deviationSum / dataSlots : 0; }

    bool operator==(const ValueSummary &) const = default;
};

struct CabinetSummary
{
    int cabinet = 0;
    int dataSlots = 0;
    ValueSummary temperature, humidity;
    std::array<int, alarmBitCount> alarmSlots{};
    std::array<int, alarmBitCount> alarmEpisodes{};
    int doorOpenings = 0;
    int doorSlots = 0;
    int heaterSlots = 0;       // on, among slots with data
    int coolerSlots = 0;
    int humidifierSlots = 0;
    int turningMovements = 0;  // motor starts
    int firstOutOfToleranceSlot = -1;   // temperature or humidity; -1: none

    int noDataSlots() const;
    int outOfToleranceSlots() const;
    int alarmSlotsTotal() const;
    // Share of the slots with data, in percent; 0 without data.
    double dutyPercent(int slotCount) const { return dataSlots ? 100.0 * slotCount / dataSlots : 0; }

    bool operator==(const CabinetSummary &) const = default;
};

}  // namespace report
