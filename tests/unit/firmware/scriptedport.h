#pragma once
#include "firmware/exchangeclock.h"
#include "link/serialport.h"

#include <QByteArray>
#include <QList>
#include <functional>

// Time that moves only when the exchange sleeps or the script says so.
class VirtualClock : public ExchangeClock
{
public:
    qint64 now = 0;
    int pumps = 0;
    std::function<bool()> closingWhen;

    qint64 nowMs() override { return now; }
    void pumpEvents() override { ++pumps; }
    void sleep(int ms) override { now += ms; }
    bool closing() override { return closingWhen && closingWhen(); }
};

// What one read finds: the clock first moves on by advanceMs, then bytes
// arrive in the port's queue.
struct Arrival
{
    QByteArray bytes;
    int advanceMs = 0;
};

// A port whose reads are scripted one by one; reads past the end of the
// script find nothing. Bytes a read leaves unread wait for the next read
// unless the port is purged.
class ScriptedPort : public SerialPort
{
public:
    explicit ScriptedPort(VirtualClock &clock) : clock_(clock) {}

    QList<Arrival> script;
    QList<QByteArray> writes;
    int purges = 0;
    int flushes = 0;
    int reads = 0;
    bool opened = true;
    bool readsFail = false;

    bool open(const QString &) override { return opened = true; }
    bool configure(qint32) override { return true; }
    qint32 baudRate() const override { return 460800; }
    bool setQueueSizes(qint64, qint64) override { return true; }
    void setWriteTimeout(int, int) override {}
    void purge() override
    {
        ++purges;
        queue_.clear();
    }
    qint64 read(char *buffer, qint64 maxSize) override
    {
        ++reads;
        if (readsFail)
            return -1;
        if (!script.isEmpty()) {
            const Arrival a = script.takeFirst();
            clock_.now += a.advanceMs;
            queue_ += a.bytes;
        }
        const qint64 n = qMin(maxSize, qint64(queue_.size()));
        memcpy(buffer, queue_.constData(), size_t(n));
        queue_.remove(0, n);
        return n;
    }
    qint64 write(const QByteArray &bytes) override
    {
        writes << bytes;
        return bytes.size();
    }
    bool flush() override
    {
        ++flushes;
        return opened;
    }
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    QString errorText() const override { return {}; }

    int countWrites(const QByteArray &bytes) const { return int(writes.count(bytes)); }

private:
    VirtualClock &clock_;
    QByteArray queue_;
};
