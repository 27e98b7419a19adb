#include "qtserialport.h"

#include <QElapsedTimer>

bool QtSerialPortAdapter::open(const QString &path)
{
    if (path.isEmpty())
        return false;
    port_.setPortName(path);
    return port_.open(QIODevice::ReadWrite);
}

bool QtSerialPortAdapter::configure(qint32 baud)
{
    bool ok = port_.setBaudRate(baud) && port_.setDataBits(QSerialPort::Data8)
              && port_.setParity(QSerialPort::NoParity) && port_.setStopBits(QSerialPort::OneStop)
              && port_.setFlowControl(QSerialPort::NoFlowControl);
    // Holding DTR and RTS off is wanted, but a pseudo-terminal or some adapters
    // refuse the request; that does not make the port unusable.
    port_.setDataTerminalReady(false);
    port_.setRequestToSend(false);
    port_.clearError();
    return ok;
}

qint32 QtSerialPortAdapter::baudRate() const
{
    return port_.baudRate();
}

bool QtSerialPortAdapter::setQueueSizes(qint64 input, qint64)
{
    // QSerialPort buffers input itself; its limit plays the driver queue's part.
    // The output queue size has no counterpart.
    port_.setReadBufferSize(input);
    return true;
}

void QtSerialPortAdapter::setWriteTimeout(int perByteMs, int constantMs)
{
    perByteMs_ = perByteMs;
    constantMs_ = constantMs;
}

void QtSerialPortAdapter::purge()
{
    port_.clear(QSerialPort::AllDirections);
}

qint64 QtSerialPortAdapter::read(char *buffer, qint64 maxSize)
{
    if (!port_.isOpen())
        return -1;
    const auto err = port_.error();
    // A vanished device shows as a resource or read error (a pseudo-terminal
    // whose other side closed gives a read error).
    if (err == QSerialPort::ResourceError || err == QSerialPort::ReadError || err == QSerialPort::DeviceNotFoundError
        || err == QSerialPort::PermissionError)
        return -1;
    return port_.read(buffer, maxSize);
}

qint64 QtSerialPortAdapter::write(const QByteArray &bytes)
{
    if (!port_.isOpen())
        return -1;
    return port_.write(bytes);
}

bool QtSerialPortAdapter::flush()
{
    if (!port_.isOpen())
        return false;
    QElapsedTimer clock;
    clock.start();
    const qint64 limit = perByteMs_ * port_.bytesToWrite() + constantMs_;
    while (port_.bytesToWrite() > 0) {
        const qint64 left = limit - clock.elapsed();
        if (left <= 0 || !port_.waitForBytesWritten(int(left)))
            return port_.bytesToWrite() == 0;
    }
    return true;
}

void QtSerialPortAdapter::close()
{
    if (port_.isOpen())
        port_.close();
    port_.clearError();
}

bool QtSerialPortAdapter::isOpen() const
{
    return port_.isOpen();
}

QString QtSerialPortAdapter::errorText() const
{
    return port_.errorString();
}
