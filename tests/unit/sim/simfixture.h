#pragma once
#include "link/wire.h"
#include "sim/collector.h"

#include <QByteArray>
#include <utility>

// A collector with no timers and everything it sends kept for inspection.
struct SimFixture
{
    Collector collector{CollectorConfig::quiet()};
    QByteArray sent;

    explicit SimFixture(const CollectorConfig &config = CollectorConfig::quiet())
        : collector(config)
    {
        QObject::connect(&collector, &Collector::transmit, &collector,
                         [this](const QByteArray &bytes) { sent += bytes; });
    }

    QByteArray take() { return std::exchange(sent, {}); }

    // What the program sends for a request with an argument.
    static QByteArray request(QByteArrayView argument, quint8 code)
    {
        return wire::command(8) + wire::command(8) + wire::dataBytes(argument) + wire::checksumPairs(argument)
               + wire::command(code);
    }
};

inline QByteArray hexBytes(const char *spaced)
{
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}
