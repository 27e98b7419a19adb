#pragma once
#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <array>

class Link;

// The moving average of the middle value over the last 100 frames. Every
// value is kept whole (32 bits) and the sum is 64-bit, so the value leaving
// the window is exactly the one that entered it and the sum never drifts or
// wraps. Until 100 frames have come it shows their sum divided by 100.
class MovingAverage
{
public:
    static constexpr int window = 100;

    void restart();
    void add(quint32 value);
    qint64 sum() const { return sum_; }
    qint64 average() const { return sum_ / window; }   // truncated toward zero

private:
    std::array<quint32, window> values_{};
    int next_ = 0;   // the slot the next value overwrites
    qint64 sum_ = 0;
};

// What the measurement tab shows for one frame.
struct FrameTexts
{
    QString extt;    // first value, "%8.3f"
    QString Edit1;   // bytes 2..5 in hexadecimal
    QString hum;     // middle value, "%u"
    QString Edit2;   // bytes 6..9
    QString Edit4;   // moving average of the middle value
    QString intt;    // third value, "%8.3f"
    QString Edit3;   // bytes 10..13

    bool operator==(const FrameTexts &) const = default;
};

// Decodes a 14-byte measurement frame (0xAA 'W', then a big-endian float32,
// a big-endian unsigned 32-bit number and a big-endian float32) and moves the
// average on. A shorter frame is ignored and gives empty texts.
FrameTexts decodeFrame(QByteArrayView frame, MovingAverage &average);

// Follows the link's measurement frames: decodes every frame the link hands
// over (none while the display is paused) and restarts the average whenever
// the port opens.
class MeasurementMonitor : public QObject
{
    Q_OBJECT
public:
    explicit MeasurementMonitor(Link &link, QObject *parent = nullptr);

    void restartAverage() { average_.restart(); }   // "0"
    const FrameTexts &last() const { return last_; }

Q_SIGNALS:
    void frameShown(const FrameTexts &texts);

private:
    Link &link_;
    MovingAverage average_;
    FrameTexts last_;
};
