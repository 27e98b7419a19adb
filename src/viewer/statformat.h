#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

// Layout of a day statistics file as the collector writes it: records packed
// back to back, no header, little-endian numbers, IEEE single floats.
//
//   record: time word (2, FAT time), N (1), N cabinet numbers, N blocks of 26
//   block:  tCount(2) tSet(4) tSum(4) hCount(2) hSet(4) hSum(4) alarms(2) states(2) spare(2)
namespace statformat {

constexpr int slotsPerDay = 8640;       // ten-second slots
constexpr int maxRecords = 9640;        // room in the record index
constexpr int recordHeaderSize = 3;
constexpr int blockSize = 26;
constexpr int cabinetCount = 64;        // cabinet numbers 1..63; 0 is never a tab

namespace block {
constexpr int tCount = 0;
constexpr int tSet = 2;
constexpr int tSum = 6;
constexpr int hCount = 10;
constexpr int hSet = 12;
constexpr int hSum = 16;
constexpr int alarms = 20;
constexpr int states = 22;
}  // namespace block

inline constexpr std::size_t recordSize(unsigned n) { return recordHeaderSize + 27u * n; }

inline uint16_t readU16(const unsigned char *p) { return uint16_t(p[0] | (p[1] << 8)); }

inline float readF32(const unsigned char *p)
{
    const uint32_t bits = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16)
                          | (uint32_t(p[3]) << 24);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// Slot of a FAT time word: hours * 360 + minutes * 6 + two-second units / 5.
// Fields outside their ranges can give 8640 or more; callers reject those.
inline constexpr int slotOfTime(uint16_t word)
{
    return (word >> 11) * 360 + ((word >> 5) & 0x3F) * 6 + (word & 0x1F) / 5;
}

inline constexpr uint16_t timeWord(int hours, int minutes, int seconds)
{
    return uint16_t((hours << 11) | (minutes << 5) | (seconds / 2));
}

// A hint to fetch memory that will be read soon; the records of a day file
// lie too far apart for the hardware to guess.
inline void prefetch(const void *p)
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(p);
#else
    (void)p;
#endif
}

}  // namespace statformat
