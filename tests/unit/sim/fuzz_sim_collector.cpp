// Arbitrary bytes from the program side: the collector must neither crash nor
// depend on how the stream was cut into reads.
#include "sim/collector.h"

#include <QCoreApplication>
#include <cstdint>
#include <cstdlib>

namespace {

class Sink : public BusDevice
{
public:
    int busAddress() const override { return 7; }
    void busByte(quint8 byte, const Reply &reply) override
    {
        const char b = char(byte);
        reply(QByteArrayView(&b, 1));
    }
};

QByteArray render(const Collector &c)
{
    QByteArray out;
    for (const Collector::LogEntry &e : c.log())
        out += QByteArray::number(int(e.kind)) + ':' + QByteArray::number(e.value) + ':' + e.received.toHex() + ':'
               + QByteArray::number(int(e.checksum)) + ':' + QByteArray::number(int(e.reply)) + ';';
    return out + QByteArray::number(int(c.mode()));
}

std::unique_ptr<Collector> makeCollector()
{
    CollectorConfig config = CollectorConfig::quiet();
    config.cabinets = {{5, 0x05}, {12, 0x06}};
    auto c = std::make_unique<Collector>(config);
    c->addBusDevice(std::make_shared<Sink>());
    return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_sim_collector";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    if (size == 0)
        return 0;

    const QByteArrayView stream(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    const qsizetype step = 1 + data[0] % 7;

    auto whole = makeCollector();
    whole->receive(stream);
    auto pieces = makeCollector();
    for (qsizetype at = 0; at < stream.size(); at += step)
        pieces->receive(stream.sliced(at, qMin(step, stream.size() - at)));

    if (render(*whole) != render(*pieces))
        std::abort();
    return 0;
}
