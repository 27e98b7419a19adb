#pragma once
#include "link/serialport.h"
#include "outputpacer.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>

class Collector;

// A serial port wired to a simulated collector in the same process. Paths
// beginning with "sim:" open; the collector outlives the port, so its state
// survives a close and reopen. Bytes written reach the collector from the
// event loop, never from inside write(); what the collector sends while the
// port is closed is lost, as on a real line.
class SimulatedPort : public QObject, public SerialPort
{
    Q_OBJECT
public:
    explicit SimulatedPort(Collector *collector, QObject *parent = nullptr);
    ~SimulatedPort() override;

    bool open(const QString &path) override;
    bool configure(qint32 baud) override;
    qint32 baudRate() const override { return baud_; }
    bool setQueueSizes(qint64 input, qint64 output) override;
    void setWriteTimeout(int perByteMs, int constantMs) override;
    void purge() override;
    qint64 read(char *buffer, qint64 maxSize) override;
    qint64 write(const QByteArray &bytes) override;
    bool flush() override;
    void close() override;
    bool isOpen() const override { return open_; }
    QString errorText() const override { return error_; }

    // Test switches.
    void setDisconnected(bool disconnected) { disconnected_ = disconnected; }  // reads fail, opens fail
    void setPacing(int bytesPerSecond);  // both directions; 0 (the default) is instant

private:
    bool unplugged() const;
    void onTransmit(const QByteArray &bytes);
    void scheduleDelivery();

    QPointer<Collector> collector_;
    QMetaObject::Connection transmitConnection_;
    bool open_ = false;
    bool disconnected_ = false;
    qint32 baud_ = 0;
    QByteArray received_;   // from the collector, not read yet
    QByteArray outgoing_;   // written, not yet handed to the collector
    bool deliveryPending_ = false;
    OutputPacer toCollector_;
    OutputPacer fromCollector_;
    QString error_;
};
