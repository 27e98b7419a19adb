#pragma once
#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

// The few things the link needs of a serial port. Implemented over QSerialPort,
// by the in-process collector simulator, and by test fakes.
class SerialPort
{
public:
    virtual ~SerialPort() = default;

    virtual bool open(const QString &path) = 0;                 // exclusive, existing device only
    virtual bool configure(qint32 baud) = 0;                    // 8N1, binary, no flow control, DTR/RTS off
    virtual qint32 baudRate() const = 0;                        // as read back from the driver
    virtual bool setQueueSizes(qint64 input, qint64 output) = 0;
    virtual void setWriteTimeout(int perByteMs, int constantMs) = 0;
    virtual void purge() = 0;                                   // drop both directions
    virtual qint64 read(char *buffer, qint64 maxSize) = 0;      // never blocks; -1 when the device failed
    virtual qint64 write(const QByteArray &bytes) = 0;
    virtual bool flush() = 0;                                   // waits until everything written has left
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual QString errorText() const = 0;
};

// Makes a port for a path; the program and the CLI choose between the real
// serial port and the built-in simulated collector with it.
using PortFactory = std::function<std::unique_ptr<SerialPort>(const QString &path)>;
