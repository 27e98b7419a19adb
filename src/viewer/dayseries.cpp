#include "viewer/dayseries.h"

#include "viewer/statfile.h"

#include <algorithm>
#include <cstring>

using namespace statformat;

void DaySeries::clear()
{
    tMeas.fill(0);
    tTask.fill(0);
    hMeas.fill(0);
    hTask.fill(0);
    alarmBits.fill(0);
    stateBits.fill(0);
}

bool DaySeries::build(const StatFile &file, int cabinet)
{
    const int records = file.recordCount();
    if (records == 0)
        return false;
    clear();
    tMin = hMin = 9999;
    tMax = hMax = -9999;

    const auto wanted = uint8_t(cabinet);
    const unsigned char *d = file.data();
    // The records lie far apart; fetch a few ahead, the cabinet's block
    // where it was in the last record.
    constexpr int ahead = 6;
    ptrdiff_t lastBlock = 0;
    unsigned lastIndex = 0;
    for (int r = 0; r < records; ++r) {
        if (r + ahead < records) {
            const unsigned char *next = d + file.recordOffset(r + ahead);
            prefetch(next);
            prefetch(next + lastBlock);
        }
        // The scan guaranteed that the whole record lies inside the image
        // and that its slot is within the day.
        const unsigned char *rec = d + file.recordOffset(r);
        const unsigned n = rec[2];
        const auto *numbers = rec + recordHeaderSize;
        // The cabinet mostly keeps its place from one record to the next.
        unsigned at = lastIndex;
        if (at >= n || numbers[at] != wanted || (at && std::memchr(numbers, wanted, at))) {
            const auto *hit = static_cast<const unsigned char *>(std::memchr(numbers, wanted, n));
            if (!hit)
                continue;
            at = unsigned(hit - numbers);
        }
        lastIndex = at;
        const int slot = slotOfTime(readU16(rec));
        const unsigned char *b = numbers + n + blockSize * at;
        lastBlock = b - rec;

        if (const uint16_t count = readU16(b + block::tCount))
            tMeas[slot] = float(double(readF32(b + block::tSum)) / count);
        if (const uint16_t count = readU16(b + block::hCount))
            hMeas[slot] = float(double(readF32(b + block::hSum)) / count);
        hMeas[slot] = keepInRange(hMeas[slot]);
        tMeas[slot] = keepInRange(tMeas[slot]);
        tTask[slot] = readF32(b + block::tSet);
        hTask[slot] = readF32(b + block::hSet);
        alarmBits[slot] = readU16(b + block::alarms);
        stateBits[slot] = readU16(b + block::states);
        hTask[slot] = keepInRange(hTask[slot]);
        tTask[slot] = keepInRange(tTask[slot]);

        tMin = std::min({tMin, double(tTask[slot]), double(tMeas[slot])});
        tMax = std::max({tMax, double(tTask[slot]), double(tMeas[slot])});
        hMin = std::min({hMin, double(hTask[slot]), double(hMeas[slot])});
        hMax = std::max({hMax, double(hTask[slot]), double(hMeas[slot])});
    }
    return true;
}
