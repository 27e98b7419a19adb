#include "simsensor.h"

#include "link/crc16.h"
#include "sim/collector.h"

#include <QtEndian>
#include <bit>
#include <cmath>

namespace {

constexpr quint8 readCommand = 'R';
constexpr quint8 writeCommand = 'W';
constexpr quint8 measureCommand = 'D';
constexpr quint8 resetCommand = 'e';
constexpr int checksumOffset = 62;
constexpr int broadcastAddress = 63;
constexpr int defaultFrameIntervalMs = 100;

void putBigEndian(QByteArray &bytes, quint32 value)
{
    char b[4];
    qToBigEndian(value, b);
    bytes.append(b, 4);
}

SimSensor::Measurement gentleWave(quint32 n)
{
    // Slow swings around an incubator's usual values, so the page has
    // something alive to show.
    SimSensor::Measurement m;
    m.first = float(37.5 + 0.2 * std::sin(n / 10.0));
    m.middle = 2000 + (n * 37) % 50;
    m.third = float(36.8 + 0.1 * std::cos(n / 15.0));
    return m;
}

}  // namespace

SimSensor::SimSensor(Collector &collector, int address)
    : collector_(&collector), address_(address), record_(recordSize, '\0')
{
    measure = gentleWave;
    stream_.setInterval(defaultFrameIntervalMs);
    connect(&stream_, &QTimer::timeout, this, &SimSensor::sendFrame);
    connect(&collector, &Collector::modeChanged, this, [this](Collector::Mode mode) {
        if (mode == Collector::Mode::Auto) {
            stream_.stop();
            firmwareTraffic_ = false;
            bootBurst_ = 0;
        }
    });
}

SimSensor::~SimSensor() = default;

void SimSensor::setRecord(const QByteArray &record)
{
    record_ = record.left(recordSize);
    record_.resize(recordSize, '\0');
}

QByteArray SimSensor::makeRecord(quint16 number, const std::array<float, 15> &values)
{
    QByteArray bytes(recordSize, '\0');
    qToLittleEndian(number, bytes.data());
    for (size_t i = 0; i < values.size(); ++i)
        qToLittleEndian(std::bit_cast<quint32>(values[i]), bytes.data() + 2 + 4 * i);
    qToLittleEndian(crc16(bytes.constData(), checksumOffset), bytes.data() + checksumOffset);
    return bytes;
}

QByteArray SimSensor::frame(const Measurement &m)
{
    QByteArray bytes("\xAA" "W", 2);
    putBigEndian(bytes, std::bit_cast<quint32>(m.first));
    putBigEndian(bytes, m.middle);
    putBigEndian(bytes, std::bit_cast<quint32>(m.third));
    return bytes;
}

void SimSensor::setFrameInterval(int ms)
{
    stream_.setInterval(qMax(1, ms));
}

void SimSensor::addressed()
{
    // A new address word means the host gave up a record it was sending.
    takingRecord_ = false;
    incoming_.clear();
}

void SimSensor::busByte(quint8 byte, const Reply &reply)
{
    if (fault == Fault::Silent)
        return;
    if (takingRecord_) {
        incoming_.append(char(byte));
        if (incoming_.size() < recordSize)
            return;
        takingRecord_ = false;
        record_ = std::exchange(incoming_, {});
        ++writes_;
        answer(reply, record_);
        return;
    }
    // A burst of boot-entry bytes means cabinet firmware follows; a sensor
    // does not understand it and keeps quiet until the bridge is left.
    bootBurst_ = byte == bootEntryByte ? bootBurst_ + 1 : 0;
    if (bootBurst_ >= bootEntryBurst)
        firmwareTraffic_ = true;
    if (firmwareTraffic_)
        return;
    const bool broadcast = collector_ && collector_->selectedDevice() == broadcastAddress;
    if (broadcast && !answersBroadcast && byte != resetCommand)
        return;
    command(byte, reply);
}

void SimSensor::command(quint8 byte, const Reply &reply)
{
    switch (byte) {
    case readCommand:
        answer(reply, record_);
        break;
    case writeCommand:
        takingRecord_ = true;
        incoming_.clear();
        break;
    case measureCommand:
        framesSent_ = 0;
        stream_.start();
        break;
    case resetCommand:
        stream_.stop();
        takingRecord_ = false;
        incoming_.clear();
        ++resets_;
        break;
    default:
        break;
    }
}

void SimSensor::answer(const Reply &reply, QByteArray bytes)
{
    if (fault == Fault::BadChecksum)
        bytes[checksumOffset] = char(bytes[checksumOffset] ^ 0x5A);
    if (reply)
        reply(bytes);
}

void SimSensor::sendFrame()
{
    if (!collector_ || collector_->mode() != Collector::Mode::Bridge || fault == Fault::Silent) {
        stream_.stop();
        return;
    }
    const Measurement m = measure ? measure(framesSent_) : Measurement{};
    ++framesSent_;
    // A line break after each frame keeps the frames apart for any reader.
    collector_->sendBytes(frame(m) + "\r\n");
}
