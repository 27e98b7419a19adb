#pragma once
#include <QByteArray>
#include <QList>
#include <functional>

#include "gsm/gsmlink.h"

// A scripted link: keeps every text sent, counts the waits and hands queued
// module lines to the exchange during the next wait, the way the pump does.
class FakeGsmLink : public GsmLink
{
public:
    QList<QByteArray> sent;           // every text, as the collector would receive it
    QList<int> waitsBeforeSend;       // how many waits had passed when each text went out
    QList<QByteArray> pending;        // module lines delivered at the next wait
    std::function<void(const QByteArray &)> deliver;   // where lines go (the exchange)
    std::function<void(const QByteArray &)> onSend;    // the module's scripted reaction
    int waits = 0;
    bool collectorAcks = true;
    bool isClosing = false;
    int closeAtWait = -1;             // the program starts closing at this wait
    bool realWaits = false;           // process events for real (window tests)

    bool sendGsmText(const QByteArray &text) override
    {
        sent << text;
        waitsBeforeSend << waits;
        if (onSend)
            onSend(text);
        return collectorAcks;
    }

    bool closing() const override { return isClosing; }

    void wait(int ms) override
    {
        ++waits;
        if (waits == closeAtWait)
            isClosing = true;
        const QList<QByteArray> lines = std::exchange(pending, {});
        for (const QByteArray &line : lines)
            if (deliver)
                deliver(line);
        if (realWaits)
            GsmLink::wait(ms);
    }

    // Texts that are settings messages ("*C"), in order.
    QList<QByteArray> settingsMessages() const
    {
        QList<QByteArray> found;
        for (const QByteArray &text : sent)
            if (text.startsWith("\r\r*C"))
                found << text;
        return found;
    }
};
