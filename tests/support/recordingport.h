#pragma once
#include "link/serialport.h"
#include "sim/simulatedport.h"

#include <QByteArray>
#include <memory>

// A simulated port that also keeps every byte the program tried to write,
// even into a dead line.
class RecordingPort : public SerialPort
{
public:
    RecordingPort(Collector *collector, std::shared_ptr<QByteArray> written)
        : port_(collector), written_(std::move(written))
    {
    }

    bool open(const QString &path) override { return port_.open(path); }
    bool configure(qint32 baud) override { return port_.configure(baud); }
    qint32 baudRate() const override { return port_.baudRate(); }
    bool setQueueSizes(qint64 input, qint64 output) override { return port_.setQueueSizes(input, output); }
    void setWriteTimeout(int perByteMs, int constantMs) override { port_.setWriteTimeout(perByteMs, constantMs); }
    void purge() override { port_.purge(); }
    qint64 read(char *buffer, qint64 maxSize) override { return port_.read(buffer, maxSize); }
    qint64 write(const QByteArray &bytes) override
    {
        written_->append(bytes);
        return port_.write(bytes);
    }
    bool flush() override { return port_.flush(); }
    void close() override { port_.close(); }
    bool isOpen() const override { return port_.isOpen(); }
    QString errorText() const override { return port_.errorText(); }

private:
    SimulatedPort port_;
    std::shared_ptr<QByteArray> written_;
};
