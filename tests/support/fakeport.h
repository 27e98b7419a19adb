#pragma once
#include "link/serialport.h"

#include <QByteArray>
#include <functional>
#include <memory>

// A serial port under a test's control. The state lives in a shared object so
// the test keeps a handle on it after the link has taken the port.
struct FakePortState
{
    bool openSucceeds = true;
    bool configureSucceeds = true;
    bool readFails = false;
    bool isOpen = false;
    int opens = 0;
    int closes = 0;
    QString openedPath;
    QByteArray incoming;           // what the next reads return
    QByteArray written;            // everything the link wrote
    // Called for every write; may append to `incoming` to answer.
    std::function<void(FakePortState &, const QByteArray &)> onWrite;
};

class FakePort : public SerialPort
{
public:
    explicit FakePort(std::shared_ptr<FakePortState> state) : s_(std::move(state)) {}

    bool open(const QString &path) override
    {
        ++s_->opens;
        s_->openedPath = path;
        s_->isOpen = s_->openSucceeds;
        return s_->isOpen;
    }
    bool configure(qint32 baud) override { baud_ = baud; return s_->configureSucceeds; }
    qint32 baudRate() const override { return baud_; }
    bool setQueueSizes(qint64, qint64) override { return true; }
    void setWriteTimeout(int, int) override {}
    void purge() override {}
    qint64 read(char *buffer, qint64 maxSize) override
    {
        if (s_->readFails || !s_->isOpen)
            return -1;
        const qint64 n = qMin<qint64>(maxSize, s_->incoming.size());
        memcpy(buffer, s_->incoming.constData(), size_t(n));
        s_->incoming.remove(0, n);
        return n;
    }
    qint64 write(const QByteArray &bytes) override
    {
        s_->written += bytes;
        if (s_->onWrite)
            s_->onWrite(*s_, bytes);
        return bytes.size();
    }
    bool flush() override { return true; }
    void close() override { ++s_->closes; s_->isOpen = false; }
    bool isOpen() const override { return s_->isOpen; }
    QString errorText() const override { return {}; }

private:
    std::shared_ptr<FakePortState> s_;
    qint32 baud_ = 0;
};

inline PortFactory fakePortFactory(std::shared_ptr<FakePortState> state)
{
    return [state](const QString &) { return std::make_unique<FakePort>(state); };
}
