#pragma once
#include <QByteArrayView>
#include <QList>
#include <QString>

// What the collector makes of the pairs the program sends. Every value comes
// as a first byte 0x80 + low five bits and a tag carrying the high bits:
// 0xA0.. data, 0xC0..0xDF bus value (a bus byte below 256, or a 10-bit bus
// word), 0xE1 command. Anything that does not form a pair is discarded, which
// also swallows the 0x80 fillers in front of paced bus bytes.
struct WireEvent
{
    enum class Kind { Data, Bus, Command, Discarded };

    Kind kind;
    quint16 value;  // data byte, bus value 0..1023, command 0..31, or the discarded byte

    bool operator==(const WireEvent &) const = default;
};

QString describe(const WireEvent &event);  // "data 41", "bus 320", "command 8", "discarded 80"

// Bytes in, events out; it keeps only the pending first byte between calls,
// so a stream split anywhere gives the same events as in one piece.
class WireDecoder
{
public:
    QList<WireEvent> feed(QByteArrayView bytes);
    void reset() { pending_ = -1; }
    bool hasPendingByte() const { return pending_ >= 0; }

private:
    void take(quint8 byte, QList<WireEvent> &out);

    int pending_ = -1;
};
