#include "report/summary.h"

#include "viewer/dayseries.h"
#include "viewer/statfile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <memory>

using namespace statformat;

namespace report {

namespace {

constexpr unsigned alarmMask = (1u << alarmBitCount) - 1;
constexpr unsigned doorOpen = 0x0001;
constexpr unsigned motorMoving = 0x0002;
constexpr unsigned heaterOn = 0x0040;
constexpr unsigned coolerOn = 0x0080;
constexpr unsigned humidifierOn = 0x0100;

// Readings are single floats: 37.8f - 37.5f is not exactly 0.3. A deviation
// this close to the tolerance is float noise and counts as within it.
constexpr double toleranceSlack = 1e-4;

// One slot as the day model holds it: 0 in a value means no data.
struct SlotValues
{
    float tMeas = 0, tTask = 0, hMeas = 0, hTask = 0;
    uint16_t alarms = 0, states = 0;
};

// Folds slots into a CabinetSummary. Slots must come in strictly increasing
// order; a slot never added counts as one without a record (it holds no
// data and ends every run of bits).
class Accumulator
{
public:
    void start(int cabinet, const Tolerances &tolerances)
    {
        *this = Accumulator();
        m_summary.cabinet = cabinet;
        m_tTolerance = tolerances.temperature + toleranceSlack;
        m_hTolerance = tolerances.humidity + toleranceSlack;
    }

    const CabinetSummary &result() const { return m_summary; }

    void add(int slot, const SlotValues &v)
    {
        const bool follows = slot == m_previousSlot + 1;
        const unsigned alarmsBefore = follows ? m_previousAlarms : 0;
        const unsigned statesBefore = follows ? m_previousStates : 0;
        m_previousSlot = slot;
        m_previousAlarms = v.alarms;
        m_previousStates = v.states;

        for (unsigned bits = v.alarms & alarmMask; bits; bits &= bits - 1) {
            const int bit = std::countr_zero(bits);
            ++m_summary.alarmSlots[size_t(bit)];
            if (!(alarmsBefore >> bit & 1u))
                ++m_summary.alarmEpisodes[size_t(bit)];
        }
        const unsigned starts = v.states & ~statesBefore;
        m_summary.doorSlots += v.states & doorOpen;
        m_summary.doorOpenings += starts & doorOpen;
        m_summary.turningMovements += (starts & motorMoving) >> 1;

        if (v.tTask == 0 || v.hTask == 0 || v.tMeas == 0 || v.hMeas == 0)
            return;
        const bool first = m_summary.dataSlots++ == 0;
        m_summary.heaterSlots += (v.states & heaterOn) >> 6;
        m_summary.coolerSlots += (v.states & coolerOn) >> 7;
        m_summary.humidifierSlots += (v.states & humidifierOn) >> 8;
        const bool tOut = account(m_summary.temperature, first, v.tMeas, v.tTask, m_tTolerance);
        const bool hOut = account(m_summary.humidity, first, v.hMeas, v.hTask, m_hTolerance);
        if ((tOut || hOut) && m_summary.firstOutOfToleranceSlot < 0)
            m_summary.firstOutOfToleranceSlot = slot;
    }

private:
    static bool account(ValueSummary &s, bool first, float reading, float setPoint, double tolerance)
    {
        const double r = reading;
        s.min = first ? r : std::min(s.min, r);
        s.max = first ? r : std::max(s.max, r);
        s.sum += r;
        const double deviation = r - double(setPoint);
        s.deviationSum += deviation;
        const bool above = deviation > tolerance;
        const bool below = deviation < -tolerance;
        s.aboveSlots += above;
        s.belowSlots += below;
        return above || below;
    }

    CabinetSummary m_summary;
    double m_tTolerance = 0;
    double m_hTolerance = 0;
    int m_previousSlot = -2;
    uint16_t m_previousAlarms = 0;
    uint16_t m_previousStates = 0;
};

// The day model's rules for one block written into its slot. The quotient
// is taken in single precision: for a float sum and a 16-bit count that is
// exactly the day model's double quotient rounded to float.
inline void mergeBlock(SlotValues &v, const unsigned char *b)
{
    if (const uint16_t count = readU16(b + block::tCount))
        v.tMeas = readF32(b + block::tSum) / float(count);
    if (const uint16_t count = readU16(b + block::hCount))
        v.hMeas = readF32(b + block::hSum) / float(count);
    v.hMeas = keepInRange(v.hMeas);
    v.tMeas = keepInRange(v.tMeas);
    v.tTask = keepInRange(readF32(b + block::tSet));
    v.hTask = keepInRange(readF32(b + block::hSet));
    v.alarms = readU16(b + block::alarms);
    v.states = readU16(b + block::states);
}

// A cabinet during the walk: its summary so far and the slot still open to
// later records of the same slot.
struct Walk
{
    Accumulator acc;
    SlotValues pending;
    int pendingSlot = -1;
    int record = -1;          // the last record that wrote the pending slot
    bool backwards = false;   // records out of time order: use the day model
};

}  // namespace

CabinetSummary summarizeSeries(const DaySeries &series, int cabinet, const Tolerances &tolerances)
{
    Accumulator acc;
    acc.start(cabinet, tolerances);
    for (int i = 0; i < slotsPerDay; ++i) {
        const auto k = size_t(i);
        acc.add(i, {series.tMeas[k], series.tTask[k], series.hMeas[k], series.hTask[k], series.alarmBits[k],
                    series.stateBits[k]});
    }
    return acc.result();
}

QList<CabinetSummary> summarizeFile(const StatFile &file, const Tolerances &tolerances)
{
    const QList<int> numbers = file.cabinets();
    auto walks = std::make_unique<std::array<Walk, cabinetCount>>();
    for (int c : numbers)
        (*walks)[size_t(c)].acc.start(c, tolerances);

    const unsigned char *d = file.data();
    const int records = file.recordCount();
    for (int r = 0; r < records; ++r) {
        // The scan guaranteed that the record lies inside the image and that
        // its slot is within the day.
        const unsigned char *rec = d + file.recordOffset(r);
        const unsigned n = rec[2];
        const int slot = slotOfTime(readU16(rec));
        const unsigned char *cabinetNumbers = rec + recordHeaderSize;
        const unsigned char *blocks = cabinetNumbers + n;
        for (unsigned i = 0; i < n; ++i) {
            const unsigned c = cabinetNumbers[i];
            if (c == 0 || c >= unsigned(cabinetCount))
                continue;
            Walk &w = (*walks)[c];
            // The first block of a cabinet in a record is the one that counts.
            if (w.record == r || w.backwards)
                continue;
            w.record = r;
            if (slot != w.pendingSlot) {
                if (slot < w.pendingSlot) {
                    w.backwards = true;
                    continue;
                }
                if (w.pendingSlot >= 0)
                    w.acc.add(w.pendingSlot, w.pending);
                w.pendingSlot = slot;
                w.pending = SlotValues();
            }
            mergeBlock(w.pending, blocks + blockSize * i);
        }
    }

    QList<CabinetSummary> result;
    result.reserve(numbers.size());
    std::unique_ptr<DaySeries> series;
    for (int c : numbers) {
        Walk &w = (*walks)[size_t(c)];
        if (w.backwards) {
            if (!series)
                series = std::make_unique<DaySeries>();
            series->build(file, c);
            result.append(summarizeSeries(*series, c, tolerances));
            continue;
        }
        if (w.pendingSlot >= 0)
            w.acc.add(w.pendingSlot, w.pending);
        result.append(w.acc.result());
    }
    return result;
}

}  // namespace report
