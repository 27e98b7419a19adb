#include "outputpacer.h"

namespace {

constexpr int tickMs = 5;

}  // namespace

OutputPacer::OutputPacer(QObject *parent) : QObject(parent)
{
    timer_.setInterval(tickMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &OutputPacer::tick);
}

void OutputPacer::setRate(int bytesPerSecond)
{
    rate_ = qMax(0, bytesPerSecond);
    if (rate_ == 0 && !queue_.isEmpty()) {
        timer_.stop();
        emit released(std::exchange(queue_, {}));
    }
}

void OutputPacer::push(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    if (rate_ == 0) {
        emit released(bytes);
        return;
    }
    queue_.append(bytes);
    if (!timer_.isActive()) {
        credit_ = 0;
        clock_.start();
        timer_.start();
    }
}

void OutputPacer::clear()
{
    queue_.clear();
    timer_.stop();
}

void OutputPacer::tick()
{
    // Whole milliseconds would drop the fraction of every tick and run slow.
    credit_ += double(rate_) * double(clock_.nsecsElapsed()) / 1e9;
    clock_.restart();
    const qsizetype count = qMin(queue_.size(), qsizetype(credit_));
    if (count > 0) {
        credit_ -= double(count);
        const QByteArray chunk = queue_.left(count);
        queue_.remove(0, count);
        emit released(chunk);
    }
    if (queue_.isEmpty())
        timer_.stop();
}
