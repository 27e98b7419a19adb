#include "bootkernel.h"

#include "exchangeclock.h"
#include "firmwareimage.h"
#include "link/operatorui.h"
#include "link/serialport.h"
#include "link/wire.h"

using namespace bootkernel;

namespace {

constexpr int pollMs = 1;   // one round of a reply wait
constexpr int lowestBusAddress = 1;
constexpr int highestBusAddress = 63;

}  // namespace

BootKernelClient::BootKernelClient(PortAccess port, OperatorUi &ui, ExchangeClock &clock, const LinkTimings &timings)
    : port_(std::move(port)), ui_(ui), clock_(clock), timings_(timings)
{
}

BootKernelClient::BootKernelClient(SerialPort &port, OperatorUi &ui, ExchangeClock &clock, const LinkTimings &timings)
    : BootKernelClient([&port] { return &port; }, ui, clock, timings)
{
}

void BootKernelClient::discardPortBuffers()
{
    if (SerialPort *p = port_())
        p->purge();
}

QByteArray BootKernelClient::readUpTo(int count, bool *failed)
{
    SerialPort *p = port_();
    QByteArray buffer(count, Qt::Uninitialized);
    const qint64 got = p ? p->read(buffer.data(), count) : -1;
    if (failed)
        *failed = got < 0;
    buffer.resize(got > 0 ? qsizetype(got) : 0);
    return buffer;
}

void BootKernelClient::send(const QByteArray &bytes)
{
    if (SerialPort *p = port_())
        p->write(bytes);
}

void BootKernelClient::flushPort()
{
    if (SerialPort *p = port_())
        p->flush();
}

void BootKernelClient::gauge(FlashGauge which, int value)
{
    if (setGauge)
        setGauge(which, value);
}

bool BootKernelClient::syncBootKernel()
{
    const QByteArray filler(syncPassBytes, char(syncFiller));
    discardPortBuffers();
    SyncProgress progress;
    while (progress.verdict() == SyncVerdict::NotYet) {
        if (clock_.closing())
            return false;
        send(filler);
        flushPort();
        clock_.sleep(syncPauseMs);
        clock_.pumpEvents();
        progress.recordRead(readUpTo(syncPassBytes));
        if (progress.discardAfterPass())
            discardPortBuffers();
    }
    if (progress.verdict() == SyncVerdict::Failed)
        return false;
    clock_.sleep(syncSettleMs);
    discardPortBuffers();
    return true;
}

std::optional<BootConfig> BootKernelClient::readBootConfig()
{
    send(QByteArray(1, char(configRequest)));
    flushPort();
    ui_.flashLog(configRequestLine());
    const Deadline replyTimer(clock_, timings_.replyMs);
    ConfigAssembly reply;
    for (;;) {
        reply.add(readUpTo(reply.missing()));
        clock_.sleep(pollMs);
        if (clock_.closing())
            return std::nullopt;
        // Looked at after every read: a reply completed only after the timer
        // fired is still late.
        if (replyTimer.fired()) {
            ui_.flashLog(timeoutLine());
            return std::nullopt;
        }
        if (reply.complete())
            return reply.config();
    }
}

const ProcessorRow *BootKernelClient::findProcessor(const BootConfig &config)
{
    ui_.flashLog(bootloaderLine(config));
    ui_.flashLog(deviceLine(config));
    const ProcessorRow *row = lookupProcessor(config.deviceId(), config.processorType());
    ui_.flashLog(row ? foundLine(*row) : notFoundLine());
    return row;
}

bool BootKernelClient::writeCollectorBlock(const FirmwareImage &image, int k)
{
    const QByteArrayView block = image.block(k);
    if (block.isEmpty()) {
        ui_.flashLog(collectorBlockErrorLine(k));
        return false;
    }
    CollectorRetries retries;
    for (;;) {
        gauge(FlashGauge::Main, k + 1);
        send(QByteArray(1, char(writeBlock)));
        send(block.toByteArray());
        flushPort();

        const Deadline ackTimer(clock_, timings_.bootReplyMs);
        AckVerdict verdict = AckVerdict::Waiting;
        while (verdict == AckVerdict::Waiting) {
            clock_.sleep(pollMs);
            if (clock_.closing())
                return false;
            const QByteArray read = readUpTo(1);
            verdict = ackVerdict(ackTimer.fired(), read);
        }
        if (verdict == AckVerdict::Written)
            return true;

        const bool mayRepeat = retries.countFailure(verdict);
        const bool inStep = syncBootKernel();
        if (clock_.closing())
            return false;
        if (inStep && mayRepeat)
            continue;
        ui_.flashLog(collectorBlockErrorLine(k));
        if (verdict == AckVerdict::TimedOut)
            ui_.flashLog(timeoutLine());
        return false;
    }
}

void BootKernelClient::startCollectorProgram()
{
    send(QByteArray(1, char(startProgram)));
    flushPort();
}

void BootKernelClient::enterCabinetBoot(int address)
{
    if (address < lowestBusAddress || address > highestBusAddress)
        return;
    const QByteArray word = wire::busWord(quint16(wire::busAddressBase + address));
    for (int count : bootBursts) {
        if (clock_.closing())
            return;
        send(word);
        send(word);
        send(wire::pacedBytes(QByteArray(count, char(enterBoot))));
        flushPort();
        clock_.sleep(burstPauseMs);
    }
}

bool BootKernelClient::cabinetLoopStops()
{
    SerialPort *p = port_();
    return clock_.closing() || !p || !p->isOpen() || (linkReady && !linkReady());
}

CabinetBlockResult BootKernelClient::writeCabinetBlock(const FirmwareImage &image, int j, CabinetBlockKind kind,
                                                       int address)
{
    const QByteArrayView block = image.block(j);
    if (block.isEmpty())
        return CabinetBlockResult::Failed;
    const bool indicator = kind == CabinetBlockKind::Indicator;
    const QByteArray command = wire::pacedBytes(indicator ? indicatorBlockCommand() : mainBlockCommand());
    const QByteArray pacedBlock = wire::pacedBytes(block);

    for (int attempts = 0;;) {
        if (cabinetLoopStops())
            return CabinetBlockResult::Stopped;
        gauge(indicator ? FlashGauge::Indicator : FlashGauge::Main, j + 1);
        clock_.pumpEvents();

        send(command);
        send(pacedBlock);
        flushPort();
        clock_.sleep(indicator ? indicatorBlockPauseMs : mainBlockPauseMs);
        if (clock_.closing())
            return CabinetBlockResult::Stopped;

        bool readFailed = false;
        const std::optional<quint8> error = cabinetErrorByte(readUpTo(1, &readFailed));
        // A failed read is no silence: nothing can be said about the block.
        if (readFailed)
            return CabinetBlockResult::Stopped;
        if (!error)
            return CabinetBlockResult::Written;

        ui_.flashLog(cabinetBlockErrorLine(j, *error));
        ++attempts;
        enterCabinetBoot(address);
        // Whatever else came back belongs to the failed attempt.
        discardPortBuffers();
        if (attempts >= cabinetAttempts)
            return CabinetBlockResult::Failed;
    }
}

void BootKernelClient::startCabinetPrograms()
{
    send(wire::pacedBytes(startProgramsCommand()));
    flushPort();
    clock_.sleep(startPauseMs);
}
