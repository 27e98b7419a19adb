#pragma once
#include "support/recordingport.h"
#include "firmware/converter.h"
#include "firmware/exchangeclock.h"
#include "firmware/firmwareimage.h"
#include "firmware/hexfile.h"
#include "firmware/imagebuilder.h"
#include "integration/firmware_sim/hexprogram.h"
#include "link/link.h"
#include "link/operatorui.h"
#include "sim/collector.h"
#include "sim/kernels/bootkernels.h"
#include "sim/simulatedport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <memory>

// The event loop's clock running `factor` times faster: the kernels' fixed
// pauses (100 ms bursts, 300 ms blocks, 10 ms synchronisation passes) shrink
// with every time-out alike, so outcomes stay the same and the suite fast.
class ScaledClock : public ExchangeClock
{
public:
    ScaledClock(int factor, std::function<bool()> closing) : factor_(factor), closing_(std::move(closing))
    {
        elapsed_.start();
    }

    qint64 nowMs() override { return elapsed_.elapsed() * factor_; }
    void pumpEvents() override { QCoreApplication::processEvents(); }
    void sleep(int ms) override
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
    bool closing() override { return closing_ && closing_(); }

private:
    int factor_;
    std::function<bool()> closing_;
    QElapsedTimer elapsed_;
};

// The sample programs: a cabinet's main unit and indicator, and the collector.
inline HexProgram mainProgram() { return HexProgram::onPages({0x000000, 0x001000, 0x008400}, 0x5A5A5A); }
inline HexProgram indicatorProgram() { return HexProgram::onPages({0x000000, 0x000400}, 0x13579B); }
inline HexProgram collectorProgram() { return HexProgram::onPages({0x000000, 0x002400, 0x012000}, 0xC0FFEE); }

inline QByteArray imageFileOf(const HexProgram &program)
{
    return buildImageFile(parseIntelHex(program.hexText()).chunks).file;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit();
}

// A collector on a simulated line, with its own kernel and the kernels of
// cabinets 5 and 9, and a link that has opened the port. The current folder
// is a fresh work folder while the fixture lives; the developer's HEX files
// are in a folder of their own, and the converter is the built fwmaker.
struct FirmwareSim
{
    static constexpr int clockFactor = 20;

    static LinkTimings timings()
    {
        LinkTimings t;
        t.pumpMs = 1;
        t.replyMs = 3000;
        t.bootReplyMs = 4000;   // on the scaled clock: 200 ms
        return t;
    }

    QString previousFolder = QDir::currentPath();
    QTemporaryDir work;
    QTemporaryDir sources;
    Collector collector;
    BootKernels *kernels;
    std::shared_ptr<CabinetKernel> cabinet5;
    std::shared_ptr<CabinetKernel> cabinet9;
    ScriptedOperator ui;
    std::shared_ptr<QByteArray> written = std::make_shared<QByteArray>();
    Link link;
    ScaledClock clock{clockFactor, [this] { return link.closing(); }};

    explicit FirmwareSim(const CollectorConfig &config = CollectorConfig::quiet())
        : collector(config), kernels(BootKernels::install(collector)), cabinet5(kernels->addCabinet(5)),
          cabinet9(kernels->addCabinet(9)),
          link([this](const QString &) { return std::make_unique<RecordingPort>(&collector, written); }, ui,
               timings())
    {
        kernels->collectorKernel().powerCycleMs = 5;
        QDir::setCurrent(work.path());
        link.setMeasurementLogPath(QString());
        link.setPort(QStringLiteral("sim:firmware"), QStringLiteral("sim"));
        link.startPump();
    }

    ~FirmwareSim()
    {
        link.setClosing();
        QDir::setCurrent(previousFolder);
    }

    bool waitOpen() { return QTest::qWaitFor([this] { return link.state() == Link::Open; }, 5000); }

    CollectorKernel &collectorKernel() { return kernels->collectorKernel(); }

    ConverterSetup converter() const { return {QStringLiteral(FWMAKER_PATH), sources.path(), work.path()}; }
    // The converter is looked for in a folder that does not hold it.
    ConverterSetup noConverter() const { return {work.filePath(QStringLiteral("no-fwmaker")), sources.path(), work.path()}; }

    bool writeHexSources()
    {
        return writeFile(sources.filePath(QStringLiteral("incubator.hex")), mainProgram().hexText())
               && writeFile(sources.filePath(QStringLiteral("indicator.hex")), indicatorProgram().hexText())
               && writeFile(sources.filePath(QStringLiteral("collector.hex")), collectorProgram().hexText());
    }

    bool writeImage(const char *name, const QByteArray &bytes) { return writeFile(work.filePath(QLatin1String(name)), bytes); }

    // Image files straight from the programs, without running the converter.
    bool writeImages()
    {
        return writeImage("fwimg.main", imageFileOf(mainProgram())) && writeImage("fwimg.ind", imageFileOf(indicatorProgram()))
               && writeImage("fwimg.col", imageFileOf(collectorProgram()));
    }
};

// Every instruction of the program, and nothing else, is in the memory.
template <typename Memory>
bool memoryHolds(const Memory &memory, const HexProgram &program, QString *difference)
{
    if (memory.pageAddresses() != program.pages()) {
        *difference = QStringLiteral("pages differ");
        return false;
    }
    for (quint32 page : program.pages())
        for (quint32 pc = page; pc < page + 1024; pc += 2) {
            const quint32 expected = program.instructions.value(pc, 0xFFFFFF);
            if (memory.instruction(pc) != expected) {
                *difference = QStringLiteral("pc %1: %2 instead of %3")
                                  .arg(pc, 0, 16)
                                  .arg(memory.instruction(pc), 6, 16, QLatin1Char('0'))
                                  .arg(expected, 6, 16, QLatin1Char('0'));
                return false;
            }
        }
    return true;
}
