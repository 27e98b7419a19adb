#include "report/summary.h"

#include "viewer/dayseries.h"
#include "viewer/statfile.h"

#include <QFuture>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>
#include <QtGlobal>

#include <algorithm>
#include <array>
#include <bit>
#include <limits>
#include <memory>
#include <vector>

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
// data and ends every run of bits). Every block of a day passes through
// add(), so it keeps to cheap steps: no branch on the first slot (extremes
// start at infinity), no short-circuit in the data test.
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

    CabinetSummary result() const
    {
        CabinetSummary s = m_summary;
        if (s.dataSlots) {
            s.temperature.min = m_tMin;
            s.temperature.max = m_tMax;
            s.humidity.min = m_hMin;
            s.humidity.max = m_hMax;
        }
        return s;
    }

    Q_ALWAYS_INLINE void add(int slot, const SlotValues &v)
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

        if (!((v.tTask != 0) & (v.hTask != 0) & (v.tMeas != 0) & (v.hMeas != 0)))
            return;
        ++m_summary.dataSlots;
        m_summary.heaterSlots += (v.states & heaterOn) >> 6;
        m_summary.coolerSlots += (v.states & coolerOn) >> 7;
        m_summary.humidifierSlots += (v.states & humidifierOn) >> 8;
        m_tMin = std::min(m_tMin, v.tMeas);
        m_tMax = std::max(m_tMax, v.tMeas);
        m_hMin = std::min(m_hMin, v.hMeas);
        m_hMax = std::max(m_hMax, v.hMeas);
        const bool tOut = account(m_summary.temperature, v.tMeas, v.tTask, m_tTolerance);
        const bool hOut = account(m_summary.humidity, v.hMeas, v.hTask, m_hTolerance);
        if ((tOut | hOut) && m_summary.firstOutOfToleranceSlot < 0)
            m_summary.firstOutOfToleranceSlot = slot;
    }

private:
    static bool account(ValueSummary &s, float reading, float setPoint, double tolerance)
    {
        const double r = reading;
        s.sum += r;
        const double deviation = r - double(setPoint);
        s.deviationSum += deviation;
        const bool above = deviation > tolerance;
        const bool below = deviation < -tolerance;
        s.aboveSlots += above;
        s.belowSlots += below;
        return above | below;
    }

    static constexpr float infinity = std::numeric_limits<float>::infinity();

    CabinetSummary m_summary;
    double m_tTolerance = 0;
    double m_hTolerance = 0;
    float m_tMin = infinity, m_tMax = -infinity;
    float m_hMin = infinity, m_hMax = -infinity;
    int m_previousSlot = -2;
    uint16_t m_previousAlarms = 0;
    uint16_t m_previousStates = 0;
};

// The day model's rules for one block written into its slot. The quotient
// is taken in single precision: for a float sum and a 16-bit count that is
// exactly the day model's double quotient rounded to float.
Q_ALWAYS_INLINE void mergeBlock(SlotValues &v, const unsigned char *b)
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

// The values of a slot written by one block alone: what a slot holds when
// no other record shares it.
Q_ALWAYS_INLINE SlotValues readBlock(const unsigned char *b)
{
    SlotValues v;
    mergeBlock(v, b);
    return v;
}

// A cabinet during the walk: its summary so far and the slot still open to
// later records of the same slot. Aligned so that two threads walking
// different cabinets never write to one cache line.
struct alignas(64) Walk
{
    Accumulator acc;
    SlotValues pending;
    int pendingSlot = -1;
    int record = -1;          // the last record that wrote the pending slot
    bool backwards = false;   // records out of time order: use the day model
};

using Walks = std::array<Walk, cabinetCount>;
using CabinetMask = uint64_t;
static_assert(cabinetCount <= 64);

// True when every record is later than the one before it, as a collector
// that runs through the day writes them. Then a cabinet's first block in a
// record is all there is of that slot, and nothing needs merging.
bool recordsInTimeOrder(const StatFile &file)
{
    const unsigned char *d = file.data();
    int previous = -1;
    for (int r = 0; r < file.recordCount(); ++r) {
        const int slot = slotOfTime(readU16(d + file.recordOffset(r)));
        if (slot <= previous)
            return false;
        previous = slot;
    }
    return true;
}

// Calls visit(cabinet, slot, block, record) for every block of the chosen
// cabinets, in file order. The scan guaranteed that each record lies inside
// the image and that its slot is within the day.
template<typename Visit>
void forEachBlock(const StatFile &file, CabinetMask chosen, Visit visit)
{
    const unsigned char *d = file.data();
    const int records = file.recordCount();
    for (int r = 0; r < records; ++r) {
        const unsigned char *rec = d + file.recordOffset(r);
        const unsigned n = rec[2];
        const int slot = slotOfTime(readU16(rec));
        const unsigned char *cabinetNumbers = rec + recordHeaderSize;
        const unsigned char *blocks = cabinetNumbers + n;
        for (unsigned i = 0; i < n; ++i) {
            const unsigned c = cabinetNumbers[i];
            if (c < unsigned(cabinetCount) && (chosen >> c & 1u))
                visit(c, slot, blocks + blockSize * i, r);
        }
    }
}

// Records in time order: every cabinet's first block in a record goes
// straight into its summary.
void walkInTimeOrder(const StatFile &file, CabinetMask chosen, Walks &walks)
{
    forEachBlock(file, chosen, [&walks](unsigned c, int slot, const unsigned char *b, int r) {
        Walk &w = walks[c];
        if (w.record == r)
            return;
        w.record = r;
        w.acc.add(slot, readBlock(b));
    });
}

// Any order: records of one slot merge field by field as in the day model;
// a cabinet whose records go back in time is marked for its day model.
void walkMerging(const StatFile &file, CabinetMask chosen, Walks &walks)
{
    forEachBlock(file, chosen, [&walks](unsigned c, int slot, const unsigned char *b, int r) {
        Walk &w = walks[c];
        // The first block of a cabinet in a record is the one that counts.
        if (w.record == r || w.backwards)
            return;
        w.record = r;
        if (slot != w.pendingSlot) {
            if (slot < w.pendingSlot) {
                w.backwards = true;
                return;
            }
            if (w.pendingSlot >= 0)
                w.acc.add(w.pendingSlot, w.pending);
            w.pendingSlot = slot;
            w.pending = SlotValues();
        }
        mergeBlock(w.pending, b);
    });
    for (unsigned c = 0; c < unsigned(cabinetCount); ++c) {
        Walk &w = walks[c];
        if ((chosen >> c & 1u) && !w.backwards && w.pendingSlot >= 0) {
            w.acc.add(w.pendingSlot, w.pending);
            w.pendingSlot = -1;
        }
    }
}

// A thread is given at least this many blocks: below that, starting it
// costs more than it saves.
constexpr qsizetype blocksPerThread = 50000;

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
    auto walks = std::make_unique<Walks>();
    // Consecutive cabinets form a group per thread. Each cabinet is
    // summarised by one thread only, in file order, so the figures do not
    // depend on how the cabinets were shared out.
    const qsizetype blocks = qsizetype(file.recordCount()) * numbers.size();
    const qsizetype groups = std::max<qsizetype>(
        1, std::min({qsizetype(QThread::idealThreadCount()), blocks / blocksPerThread, numbers.size()}));
    std::vector<CabinetMask> chosen(size_t(groups), 0);
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        const int c = numbers.at(i);
        (*walks)[size_t(c)].acc.start(c, tolerances);
        chosen[size_t(i * groups / numbers.size())] |= CabinetMask(1) << c;
    }

    const auto walk = recordsInTimeOrder(file) ? walkInTimeOrder : walkMerging;
    QList<QFuture<void>> others;
    for (size_t g = 1; g < chosen.size(); ++g)
        others.append(QtConcurrent::run([&, g] { walk(file, chosen[g], *walks); }));
    walk(file, chosen[0], *walks);
    for (QFuture<void> &other : others)
        other.waitForFinished();

    QList<CabinetSummary> result;
    result.reserve(numbers.size());
    std::unique_ptr<DaySeries> series;
    for (int c : numbers) {
        const Walk &w = (*walks)[size_t(c)];
        if (w.backwards) {
            if (!series)
                series = std::make_unique<DaySeries>();
            series->build(file, c);
            result.append(summarizeSeries(*series, c, tolerances));
        } else {
            result.append(w.acc.result());
        }
    }
    return result;
}

}  // namespace report
