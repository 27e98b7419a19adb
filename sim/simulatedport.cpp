#include "simulatedport.h"

#include "collector.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstring>
#include <utility>

namespace {

constexpr qsizetype maxUnread = 16 * 1024 * 1024;  // a reader that never reads loses the rest

}  // namespace

SimulatedPort::SimulatedPort(Collector *collector, QObject *parent)
    : QObject(parent), collector_(collector)
{
    connect(&fromCollector_, &OutputPacer::released, this, [this](const QByteArray &bytes) {
        if (open_ && received_.size() + bytes.size() <= maxUnread)
            received_.append(bytes);
    });
    connect(&toCollector_, &OutputPacer::released, this, [this](const QByteArray &bytes) {
        if (collector_)
            collector_->receive(bytes);
    });
}

SimulatedPort::~SimulatedPort()
{
    close();
}

bool SimulatedPort::unplugged() const
{
    return disconnected_ || !collector_ || collector_->isDisconnected();
}

bool SimulatedPort::open(const QString &path)
{
    if (open_) {
        error_ = QStringLiteral("The port is already open");
        return false;
    }
    if (!path.startsWith(QLatin1String("sim:"))) {
        error_ = QStringLiteral("No such simulated device: %1").arg(path);
        return false;
    }
    if (unplugged()) {
        error_ = QStringLiteral("The simulated device is not connected");
        return false;
    }
    if (!collector_->claim(this)) {
        error_ = QStringLiteral("The simulated device is in use");
        return false;
    }
    transmitConnection_ = connect(collector_, &Collector::transmit, this, &SimulatedPort::onTransmit);
    open_ = true;
    received_.clear();
    error_.clear();
    return true;
}

bool SimulatedPort::configure(qint32 baud)
{
    if (!open_ || baud <= 0)
        return false;
    baud_ = baud;
    return true;
}

bool SimulatedPort::setQueueSizes(qint64, qint64)
{
    return open_;
}

void SimulatedPort::setWriteTimeout(int, int) {}

void SimulatedPort::purge()
{
    received_.clear();
    outgoing_.clear();
    fromCollector_.clear();
    toCollector_.clear();
}

qint64 SimulatedPort::read(char *buffer, qint64 maxSize)
{
    if (!open_ || unplugged()) {
        error_ = QStringLiteral("The simulated device is not connected");
        return -1;
    }
    const qint64 count = qMin<qint64>(qMax<qint64>(maxSize, 0), received_.size());
    if (count > 0) {
        std::memcpy(buffer, received_.constData(), size_t(count));
        received_.remove(0, count);
    }
    return count;
}

qint64 SimulatedPort::write(const QByteArray &bytes)
{
    if (!open_ || unplugged())
        return -1;
    outgoing_.append(bytes);
    scheduleDelivery();
    return bytes.size();
}

void SimulatedPort::scheduleDelivery()
{
    if (deliveryPending_)
        return;
    deliveryPending_ = true;
    QTimer::singleShot(0, this, [this] {
        deliveryPending_ = false;
        toCollector_.push(std::exchange(outgoing_, {}));
    });
}

bool SimulatedPort::flush()
{
    // Like a real port's flush: what was written has left when it returns, so
    // a purge right after it cannot take it back.
    if (!open_ || unplugged())
        return false;
    if (!outgoing_.isEmpty())
        toCollector_.push(std::exchange(outgoing_, {}));
    QElapsedTimer clock;
    clock.start();
    while (toCollector_.pending() > 0 && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return toCollector_.pending() == 0;
}

void SimulatedPort::close()
{
    if (!open_)
        return;
    // Bytes already written still reach the collector, as they would have
    // left a real port before it closed.
    disconnect(transmitConnection_);
    if (collector_)
        collector_->release(this);
    open_ = false;
    received_.clear();
    fromCollector_.clear();
}

void SimulatedPort::onTransmit(const QByteArray &bytes)
{
    if (open_)
        fromCollector_.push(bytes);
}

void SimulatedPort::setPacing(int bytesPerSecond)
{
    toCollector_.setRate(bytesPerSecond);
    fromCollector_.setRate(bytesPerSecond);
}
