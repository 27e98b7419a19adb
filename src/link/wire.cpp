#include "wire.h"

#include "crc16.h"

namespace wire {
namespace {

void appendPair(QByteArray &out, quint8 b, quint8 tag)
{
    out.append(char(0x80 + (b & 0x1F)));
    out.append(char(tag + (b >> 5)));
}

QByteArray encode(QByteArrayView bytes, quint8 tag)
{
    QByteArray out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes)
        appendPair(out, quint8(c), tag);
    return out;
}

}  // namespace

QByteArray dataBytes(QByteArrayView bytes) { return encode(bytes, 0xA0); }
QByteArray busBytes(QByteArrayView bytes) { return encode(bytes, 0xC0); }

QByteArray pacedBytes(QByteArrayView bytes)
{
    QByteArray out;
    out.reserve(bytes.size() * (pacingByteCount + 2));
    for (char c : bytes) {
        out.append(pacingByteCount, char(0x80));
        appendPair(out, quint8(c), 0xC0);
    }
    return out;
}

QByteArray busWord(quint16 word)
{
    QByteArray out;
    out.append(char(0x80 + (word & 0x1F)));
    out.append(char(quint8(0xC0 + quint8(word >> 5))));
    return out;
}

QByteArray command(quint8 code)
{
    QByteArray out;
    out.append(char(0x80 + (code & 0x1F)));
    out.append(char(0xE1));
    return out;
}

QByteArray checksumPairs(QByteArrayView argument)
{
    const quint16 sum = crc16(argument);
    const char le[2] = {char(sum & 0xFF), char(sum >> 8)};
    return dataBytes(QByteArrayView(le, 2));
}

}  // namespace wire
