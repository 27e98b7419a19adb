#pragma once
#include "serialport.h"

#include <QSerialPort>

// The real serial port.
class QtSerialPortAdapter : public SerialPort
{
public:
    bool open(const QString &path) override;
    bool configure(qint32 baud) override;
    qint32 baudRate() const override;
    bool setQueueSizes(qint64 input, qint64 output) override;
    void setWriteTimeout(int perByteMs, int constantMs) override;
    void purge() override;
    qint64 read(char *buffer, qint64 maxSize) override;
    qint64 write(const QByteArray &bytes) override;
    bool flush() override;
    void close() override;
    bool isOpen() const override;
    QString errorText() const override;

private:
    QSerialPort port_;
    int perByteMs_ = 10;
    int constantMs_ = 200;
};
