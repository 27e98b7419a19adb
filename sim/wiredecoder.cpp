#include "wiredecoder.h"

namespace {

bool isFirstByte(quint8 b) { return b >= 0x80 && b <= 0x9F; }

}  // namespace

QString describe(const WireEvent &event)
{
    switch (event.kind) {
    case WireEvent::Kind::Data:
        return QStringLiteral("data %1").arg(event.value, 2, 16, QLatin1Char('0'));
    case WireEvent::Kind::Bus:
        return QStringLiteral("bus %1").arg(event.value);
    case WireEvent::Kind::Command:
        return QStringLiteral("command %1").arg(event.value);
    case WireEvent::Kind::Discarded:
        return QStringLiteral("discarded %1").arg(event.value, 2, 16, QLatin1Char('0'));
    }
    return {};
}

QList<WireEvent> WireDecoder::feed(QByteArrayView bytes)
{
    QList<WireEvent> out;
    for (char c : bytes)
        take(quint8(c), out);
    return out;
}

void WireDecoder::take(quint8 byte, QList<WireEvent> &out)
{
    using Kind = WireEvent::Kind;
    if (isFirstByte(byte)) {
        // A new first byte ends any pair that never got its tag.
        if (pending_ >= 0)
            out.append({Kind::Discarded, quint16(pending_)});
        pending_ = byte;
        return;
    }
    if (pending_ < 0) {
        out.append({Kind::Discarded, byte});
        return;
    }
    const quint16 low = quint16(pending_ & 0x1F);
    if (byte >= 0xA0 && byte <= 0xA7) {
        out.append({Kind::Data, quint16(low | ((byte - 0xA0) << 5))});
    } else if (byte >= 0xC0 && byte <= 0xDF) {
        out.append({Kind::Bus, quint16(low | ((byte - 0xC0) << 5))});
    } else if (byte == 0xE1) {
        out.append({Kind::Command, low});
    } else {
        // Not a tag a pair can end with (or a plain byte): drop both.
        out.append({Kind::Discarded, quint16(pending_)});
        out.append({Kind::Discarded, byte});
    }
    pending_ = -1;
}
