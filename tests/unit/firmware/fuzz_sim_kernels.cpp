// Arbitrary bytes to the simulated boot kernels, the collector's own in plain
// bytes and the cabinets' through the bridge: they must never crash, and what
// they keep must be only blocks that pass the check.
#include "link/wire.h"
#include "sim/collector.h"
#include "sim/kernels/bootkernels.h"

#include <QCoreApplication>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_sim_kernels";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    if (size < 2)
        return 0;

    Collector collector(CollectorConfig::quiet());
    BootKernels *kernels = BootKernels::install(collector);
    kernels->addCabinet(5);
    kernels->addCabinet(9);
    const QByteArray rest(reinterpret_cast<const char *>(data) + 2, qsizetype(size - 2));
    const int chunk = 1 + data[1];

    QByteArray stream;
    if (data[0] & 1) {
        CollectorKernel &kernel = kernels->collectorKernel();
        kernel.powerCycleMs = 0;
        kernel.powerCycle();
        QCoreApplication::processEvents();
        stream = rest;
    } else {
        collector.receive(wire::busWord(320) + wire::command(2));
        stream = wire::busWord(quint16(320 + data[0] % 64)) + wire::pacedBytes(rest);
    }
    for (qsizetype i = 0; i < stream.size(); i += chunk)
        collector.receive(QByteArrayView(stream).sliced(i, qMin<qsizetype>(chunk, stream.size() - i)));

    auto checkAll = [](const QList<QByteArray> &blocks) {
        for (const QByteArray &b : blocks)
            if (ProgramMemory::check(b) != ProgramMemory::BlockCheck::Good)
                std::abort();
    };
    checkAll(kernels->collectorKernel().blocks());
    for (const auto &cabinet : kernels->cabinets()) {
        checkAll(cabinet->blocks(CabinetKernel::Unit::Main));
        checkAll(cabinet->blocks(CabinetKernel::Unit::Indicator));
    }
    return 0;
}
