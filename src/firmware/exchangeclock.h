#pragma once
#include <QElapsedTimer>
#include <functional>

// Time and waiting for the foreground exchanges with the boot kernels. Every
// wait processes events, so timers and the link pump keep running, and ends
// early when the program is closing. Tests use a virtual clock so that a
// script, not the machine's speed, decides whether a time-out fired.
class ExchangeClock
{
public:
    virtual ~ExchangeClock() = default;

    virtual qint64 nowMs() = 0;          // monotonic milliseconds
    virtual void pumpEvents() = 0;       // lets pending events run once
    virtual void sleep(int ms) = 0;      // waits, processing events; returns early when closing
    virtual bool closing() = 0;          // the program is closing: every wait ends
};

// The real clock on the event loop of the calling thread.
class EventLoopClock final : public ExchangeClock
{
public:
    explicit EventLoopClock(std::function<bool()> closing = {});

    qint64 nowMs() override;
    void pumpEvents() override;
    void sleep(int ms) override;
    bool closing() override;

private:
    std::function<bool()> closing_;
    QElapsedTimer elapsed_;
};

// A one-shot time-out observed like a timer that stops itself when it fires.
class Deadline
{
public:
    Deadline(ExchangeClock &clock, int ms) : clock_(clock), end_(clock.nowMs() + ms) {}
    bool fired() const { return clock_.nowMs() >= end_; }

private:
    ExchangeClock &clock_;
    qint64 end_;
};
