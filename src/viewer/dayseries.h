#pragma once
#include "viewer/statformat.h"

#include <array>
#include <cstdint>

class StatFile;

// One cabinet's day in ten-second slots. 0 in a value array means no data.
struct DaySeries
{
    template<typename T> using Slots = std::array<T, statformat::slotsPerDay>;

    Slots<float> tMeas{};
    Slots<float> tTask{};
    Slots<float> hMeas{};
    Slots<float> hTask{};
    Slots<uint16_t> alarmBits{};
    Slots<uint16_t> stateBits{};

    // Smallest and largest values stored for the day, zeros included.
    double tMin = 9999, tMax = -9999;
    double hMin = 9999, hMax = -9999;

    void clear();

    // Fills the model for one cabinet from the indexed records, walking the
    // index once; a later record of the same slot overwrites field by field.
    // Returns false (model untouched) when the file holds no record.
    bool build(const StatFile &file, int cabinet);
};

// Values outside (0, 100), NaN included, mean "no data".
// Both comparisons are always made: a select instead of branches, since every
// block of a day passes through here.
inline float keepInRange(float v) { return ((v > 0.0f) & (v < 100.0f)) ? v : 0.0f; }
