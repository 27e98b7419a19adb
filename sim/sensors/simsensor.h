#pragma once
#include "sim/busdevice.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>

class Collector;

// A cabinet's sensor on the bus behind the collector. It keeps a 64-byte
// parameter record and knows four one-byte commands: 'R' answers the record,
// 'W' takes the 64 bytes that follow, stores them and answers them back, 'D'
// starts a stream of 14-byte measurement frames at a steady rate, 'e' resets
// it. Frames only pass while the collector is in bridge mode; its return to
// automatic mode ends the stream.
class SimSensor : public QObject, public BusDevice
{
    Q_OBJECT
public:
    static constexpr int recordSize = 64;
    static constexpr int frameSize = 14;

    enum class Fault { None, Silent, BadChecksum };

    // One frame's three values: the first and third go out as big-endian
    // float32, the middle one as a big-endian unsigned 32-bit number.
    struct Measurement
    {
        float first = 0;
        quint32 middle = 0;
        float third = 0;
    };

    SimSensor(Collector &collector, int address);
    ~SimSensor() override;

    int busAddress() const override { return address_; }
    void addressed() override;
    void busByte(quint8 byte, const Reply &reply) override;

    // The stored record, exactly as it is exchanged.
    QByteArray record() const { return record_; }
    void setRecord(const QByteArray &record);  // padded or cut to 64 bytes
    // A record with the number and fifteen values, its checksum in place.
    static QByteArray makeRecord(quint16 number, const std::array<float, 15> &values);
    static QByteArray frame(const Measurement &m);  // 0xAA 'W' and the 12 data bytes

    // Faults: Silent answers nothing and ignores the bus; BadChecksum spoils
    // the checksum of every record it sends.
    Fault fault = Fault::None;
    // Whether it takes commands sent to every device (address 63). On a bus
    // with several sensors only one should, or their answers collide.
    bool answersBroadcast = true;
    // The n-th frame's values since the stream started.
    std::function<Measurement(quint32 n)> measure;

    void setFrameInterval(int ms);
    bool streaming() const { return stream_.isActive(); }
    int resets() const { return resets_; }
    int writes() const { return writes_; }

private:
    void command(quint8 byte, const Reply &reply);
    void answer(const Reply &reply, QByteArray bytes);
    void sendFrame();

    QPointer<Collector> collector_;
    int address_;
    QByteArray record_;
    QByteArray incoming_;       // record bytes after 'W'
    bool takingRecord_ = false;
    static constexpr quint8 bootEntryByte = 0x15;
    static constexpr int bootEntryBurst = 8;
    int bootBurst_ = 0;
    bool firmwareTraffic_ = false;
    QTimer stream_;
    quint32 framesSent_ = 0;
    int resets_ = 0;
    int writes_ = 0;
};
