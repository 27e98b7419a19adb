// bench_transfer: reads a 1 MiB card file from collector-sim over a
// pseudo-terminal at the real line rate and compares the time with the ideal
// (size / 46080 bytes/s); then measures how fast the receive path itself
// runs in-process, as a multiple of the line rate.
#include "link/filetransfer.h"
#include "link/link.h"
#include "link/operatorui.h"
#include "sim/card/simcard.h"
#include "sim/portfactory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr double lineRate = 46080.0;   // bytes/s at 460800 bps, 8N1
constexpr qsizetype fileSize = 1 << 20;

QByteArray fileData()
{
    QByteArray data(fileSize, Qt::Uninitialized);
    QRandomGenerator rng(1);
    for (char &c : data)
        c = char(rng.bounded(256));
    return data;
}

int overPseudoTerminal(const QByteArray &data)
{
    QTemporaryDir card, work;
    QFile f(card.filePath(QStringLiteral("BENCH.INC")));
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        return 1;
    f.close();
    QDir(work.path()).mkdir(QStringLiteral("cache"));

    QProcess sim;
    sim.start(QStringLiteral(COLLECTOR_SIM_PATH),
              {QStringLiteral("--card"), card.path(), QStringLiteral("--pace"), QStringLiteral("--report-ms"),
               QStringLiteral("0")});
    if (!sim.waitForReadyRead(20000))
        return 1;
    const QString port = QString::fromLocal8Bit(sim.readLine()).trimmed();

    ScriptedOperator ui;
    Link link(simulatorAwarePortFactory(), ui);
    link.setMeasurementLogPath(QString());
    link.setPort(port, port);
    link.startPump();
    link.waitUntil([&] { return link.state() == Link::Open; });
    FileTransfer transfer(link, ui);
    transfer.setCacheFolder(work.filePath(QStringLiteral("cache")));

    QElapsedTimer clock;
    qint64 streamStart = -1, streamEnd = -1;
    QObject::connect(&transfer, &FileTransfer::receivingChanged, [&](bool receiving) {
        (receiving ? streamStart : streamEnd) = clock.nsecsElapsed();
    });
    clock.start();
    const bool ok = transfer.readDeviceFile(QStringLiteral("BENCH.INC"));
    const double total = clock.nsecsElapsed() / 1e9;
    link.setClosing();
    sim.terminate();
    sim.waitForFinished(10000);

    QFile copy(work.filePath(QStringLiteral("cache/BENCH.INC")));
    const bool same = ok && copy.open(QIODevice::ReadOnly) && copy.readAll() == data;
    const double ideal = double(data.size()) / lineRate;
    const double stream = (streamEnd - streamStart) / 1e9;
    std::printf("1 MiB over a pseudo-terminal at the line rate: %s\n", same ? "copy identical" : "COPY WRONG");
    std::printf("  ideal (size / 46080 B/s)    %8.3f s\n", ideal);
    std::printf("  readDeviceFile, whole       %8.3f s   %.4f x ideal (%+.2f %%)\n", total, total / ideal,
                (total / ideal - 1) * 100);
    std::printf("  stream, %%D: line to last pair %6.3f s   %.4f x ideal (%+.2f %%)\n", stream, stream / ideal,
                (stream / ideal - 1) * 100);
    return same ? 0 : 1;
}

void inProcess(const QByteArray &data)
{
    const QByteArray stream = SimCard::encodeStream(data);
    QTemporaryDir dir;
    constexpr int rounds = 20;
    constexpr qsizetype chunk = 4096;   // what one pump tick reads at most

    // Baseline: the same bytes written to a file without looking at them.
    QElapsedTimer clock;
    clock.start();
    for (int r = 0; r < rounds; ++r) {
        QFile out(dir.filePath(QStringLiteral("plain")));
        out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        for (qsizetype at = 0; at < stream.size(); at += chunk)
            out.write(stream.constData() + at, qMin(chunk, stream.size() - at));
    }
    const double plain = double(rounds) * double(stream.size()) / (clock.nsecsElapsed() / 1e9);

    clock.restart();
    bool complete = true;
    for (int r = 0; r < rounds; ++r) {
        QFile out(dir.filePath(QStringLiteral("received")));
        out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        FileStreamReceiver receiver;
        receiver.onData = [&out](QByteArrayView b) { return out.write(b.data(), b.size()) == b.size(); };
        receiver.begin(quint32(data.size()));
        for (qsizetype at = 0; at < stream.size(); at += chunk)
            receiver.feed(stream.constData() + at, qMin(chunk, stream.size() - at));
        complete = complete && receiver.complete();
    }
    const double received = double(rounds) * double(stream.size()) / (clock.nsecsElapsed() / 1e9);
    std::printf("receive path in-process (checks and cache file, 4096-byte chunks): %s\n",
                complete ? "complete" : "INCOMPLETE");
    std::printf("  %8.1f MB/s = %6.0f x the line rate; plain file writes %8.1f MB/s (receive path at %.0f %% of them)\n",
                received / 1e6, received / lineRate, plain / 1e6, received / plain * 100);
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QByteArray data = fileData();
    inProcess(data);
    return overPseudoTerminal(data);
}
