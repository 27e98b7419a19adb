#pragma once
#include <QByteArray>
#include <QByteArrayView>

// The collector's wire encoding. Every value the program sends travels as a
// pair: 0x80 plus the low five bits, then a tag carrying the high bits. The
// collector answers in plain bytes.
namespace wire {

constexpr quint16 busAddressBase = 320;   // the collector's own bus word; 320 + n is device n
constexpr int pacingByteCount = 8;        // 0x80 fillers in front of a paced byte

QByteArray dataBytes(QByteArrayView bytes);   // tag 0xA0 + high three bits
QByteArray busBytes(QByteArrayView bytes);    // tag 0xC0 + high three bits
QByteArray pacedBytes(QByteArrayView bytes);  // eight 0x80, then the bus pair
QByteArray busWord(quint16 word);             // 10-bit word, tag 0xC0 + (word >> 5)
QByteArray command(quint8 code);              // tag 0xE1

// The little-endian checksum of an argument, as data pairs.
QByteArray checksumPairs(QByteArrayView argument);

}  // namespace wire
