#include "exchangeclock.h"

#include <QCoreApplication>
#include <QThread>

EventLoopClock::EventLoopClock(std::function<bool()> closing) : closing_(std::move(closing))
{
    elapsed_.start();
}

qint64 EventLoopClock::nowMs() { return elapsed_.elapsed(); }

void EventLoopClock::pumpEvents() { QCoreApplication::processEvents(); }

void EventLoopClock::sleep(int ms)
{
    const qint64 end = nowMs() + ms;
    do {
        QCoreApplication::processEvents();
        if (closing())
            return;
        if (nowMs() < end)
            QThread::msleep(1);
    } while (nowMs() < end);
}

bool EventLoopClock::closing() { return closing_ && closing_(); }
