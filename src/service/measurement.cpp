#include "measurement.h"

#include "link/lineprotocol.h"
#include "link/link.h"

#include <QtEndian>
#include <bit>

namespace {

constexpr int frameSize = 14;

QString hexBytes(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes.toByteArray().toHex(' ').toUpper());
}

quint32 bigEndianAt(QByteArrayView frame, int offset)
{
    return qFromBigEndian<quint32>(frame.data() + offset);
}

QString fixed(quint32 bits)
{
    return QString::asprintf("%8.3f", double(std::bit_cast<float>(bits)));
}

}  // namespace

void MovingAverage::restart()
{
    values_.fill(0);
    next_ = 0;
    sum_ = 0;
}

void MovingAverage::add(quint32 value)
{
    sum_ += qint64(value) - qint64(values_[size_t(next_)]);
    values_[size_t(next_)] = value;
    next_ = (next_ + 1) % window;
}

FrameTexts decodeFrame(QByteArrayView frame, MovingAverage &average)
{
    if (frame.size() < frameSize)
        return {};
    FrameTexts t;
    t.extt = fixed(bigEndianAt(frame, 2));
    t.Edit1 = hexBytes(frame.sliced(2, 4));
    const quint32 middle = bigEndianAt(frame, 6);
    average.add(middle);
    t.Edit4 = QString::number(average.average());
    t.hum = QString::number(middle);
    t.Edit2 = hexBytes(frame.sliced(6, 4));
    t.intt = fixed(bigEndianAt(frame, 10));
    t.Edit3 = hexBytes(frame.sliced(10, 4));
    return t;
}

MeasurementMonitor::MeasurementMonitor(Link &link, QObject *parent) : QObject(parent), link_(link)
{
    connect(&link, &Link::portOpened, this, [this] { average_.restart(); });
    connect(&link, &Link::frameReceived, this, [this](int slot) {
        const auto *bytes = reinterpret_cast<const char *>(link_.protocol().slotData(slot));
        last_ = decodeFrame(QByteArrayView(bytes, frameSize), average_);
        Q_EMIT frameShown(last_);
    });
}
