#include "collector.h"

#include "clocktext.h"
#include "link/crc16.h"

#include <utility>

namespace {

constexpr qsizetype maxDeferred = 65536;  // answers held during a GSM talk

}  // namespace

Collector::Collector(const CollectorConfig &config, QObject *parent)
    : QObject(parent), config_(config)
{
    installCommands();
    // In bridge mode the line carries bus traffic only: the collector's own
    // reports would land in the middle of a device's answer.
    connect(&reportTimer_, &QTimer::timeout, this, [this] {
        if (!gsmTalking_ && mode_ == Mode::Auto)
            sendReportCycle();
    });
    connect(&statusTimer_, &QTimer::timeout, this, [this] {
        if (!gsmTalking_ && mode_ == Mode::Auto)
            sendCardAndTaskLines();
    });
    connect(&clockTimer_, &QTimer::timeout, this, [this] {
        if (!gsmTalking_ && mode_ == Mode::Auto)
            sendClockLine();
    });
    connect(&gsmTimer_, &QTimer::timeout, this, [this] {
        if (gsmTalking_ || mode_ != Mode::Auto)
            return;
        beginGsmTalk();
        gsmEndTimer_.start(qMax(0, config_.gsmTalkMs));
    });
    gsmEndTimer_.setSingleShot(true);
    connect(&gsmEndTimer_, &QTimer::timeout, this, &Collector::endGsmTalk);
    restartTimers();
}

Collector::~Collector() = default;

void Collector::setConfig(const CollectorConfig &config)
{
    config_ = config;
    restartTimers();
}

void Collector::restartTimers()
{
    auto run = [](QTimer &timer, int ms) {
        if (ms > 0)
            timer.start(ms);
        else
            timer.stop();
    };
    run(reportTimer_, config_.reportMs);
    run(statusTimer_, config_.statusMs);
    run(clockTimer_, config_.clockMs);
    run(gsmTimer_, config_.gsmChatter ? config_.gsmIntervalMs : 0);
}

// ---- input

void Collector::receive(QByteArrayView wireBytes)
{
    if (bootKernel_) {
        // Copy: the kernel may leave (and so clear itself) while it reads.
        const BootKernelInput kernel = bootKernel_;
        const qsizetype taken = qBound(qsizetype(0), kernel(wireBytes), wireBytes.size());
        if (taken == wireBytes.size() || bootKernel_)
            return;
        wireBytes = wireBytes.sliced(taken);
    }
    for (const WireEvent &event : decoder_.feed(wireBytes)) {
        switch (event.kind) {
        case WireEvent::Kind::Data:
            afterCollectorWord_ = false;
            if (argument_.size() < maxArgument)
                argument_.append(char(event.value));
            else
                argumentOverflow_ = true;
            break;
        case WireEvent::Kind::Bus:
            onBus(event.value);
            break;
        case WireEvent::Kind::Command:
            onCommand(quint8(event.value));
            break;
        case WireEvent::Kind::Discarded:
            // Pacing fillers and line noise; they never reach a command.
            break;
        }
    }
}

void Collector::onBus(quint16 value)
{
    appendLog({LogEntry::Kind::Bus, value, {}, Checksum::NotApplicable, Reply::None});
    if (value == collectorWord) {
        afterCollectorWord_ = true;
        selectedDevice_ = 0;
        return;
    }
    afterCollectorWord_ = false;
    if (value > collectorWord && value <= collectorWord + 63) {
        selectedDevice_ = value - collectorWord;
        if (mode_ == Mode::Bridge) {
            for (const auto &device : devices_)
                if (selectedDevice_ == 63 || device->busAddress() == selectedDevice_)
                    device->addressed();
        }
        return;
    }
    if (value > 0xFF || mode_ != Mode::Bridge || selectedDevice_ == 0)
        return;
    // Copy: a device may change the list while it answers.
    const auto devices = devices_;
    const BusDevice::Reply reply = [this](QByteArrayView bytes) { sendBytes(bytes); };
    for (const auto &device : devices)
        if (selectedDevice_ == 63 || device->busAddress() == selectedDevice_)
            device->busByte(quint8(value), reply);
}

void Collector::onCommand(quint8 code)
{
    LogEntry entry{LogEntry::Kind::Command, code, std::exchange(argument_, {}),
                   Checksum::NotApplicable, Reply::Nak};
    const bool overflow = std::exchange(argumentOverflow_, false);
    Request request;
    request.code = code;
    request.afterCollectorWord = std::exchange(afterCollectorWord_, false);

    const auto it = commands_.constFind(code);
    bool acceptable = it != commands_.constEnd() && !refused_.contains(code);
    if (it != commands_.constEnd()) {
        switch (it->argument) {
        case Argument::None:
            // A stray argument means the two sides disagree about the request.
            acceptable = acceptable && entry.received.isEmpty() && !overflow;
            break;
        case Argument::Ignored:
            request.argument = entry.received;
            break;
        case Argument::Checked: {
            const QByteArray &raw = entry.received;
            if (raw.size() < 2) {
                entry.checksum = Checksum::Missing;
            } else {
                const QByteArrayView payload(raw.constData(), raw.size() - 2);
                const quint16 sent = quint16(quint8(raw[raw.size() - 2]) | (quint8(raw[raw.size() - 1]) << 8));
                entry.checksum = !overflow && crc16(payload) == sent ? Checksum::Good : Checksum::Bad;
                request.argument = payload.toByteArray();
            }
            acceptable = acceptable && entry.checksum == Checksum::Good;
            break;
        }
        }
    }

    // Logged before it runs, so whatever the command logs comes after it.
    appendLog(entry);
    const quint64 mine = logged_;
    const Reply reply = acceptable ? it->handler(request) : Reply::Nak;
    const qsizetype index = log_.size() - 1 - qsizetype(logged_ - mine);
    if (index >= 0)
        log_[index].reply = reply;
    if (reply == Reply::Ack)
        sendLine("%A");
    else if (reply == Reply::Nak)
        sendLine("%N");
}

void Collector::setCommandHandler(quint8 code, Argument argument, Handler handler)
{
    commands_.insert(code, Command{argument, std::move(handler)});
}

void Collector::removeCommandHandler(quint8 code)
{
    commands_.remove(code);
}

void Collector::appendLog(LogEntry entry)
{
    if (log_.size() >= maxLogEntries)
        log_.removeFirst();
    log_.append(std::move(entry));
    ++logged_;
}

// ---- state

void Collector::setMode(Mode mode)
{
    if (mode == mode_)
        return;
    mode_ = mode;
    selectedDevice_ = 0;
    appendLog({LogEntry::Kind::Mode, int(mode), {}, Checksum::NotApplicable, Reply::None});
    emit modeChanged(mode);
}

std::optional<QDateTime> Collector::clock() const
{
    if (!config_.clockOffsetMs)
        return std::nullopt;
    return QDateTime::currentDateTime().addMSecs(*config_.clockOffsetMs);
}

void Collector::setClock(const QDateTime &localTime)
{
    config_.clockOffsetMs = QDateTime::currentDateTime().msecsTo(localTime);
}

void Collector::setCabinetState(int number, quint8 state)
{
    if (number >= 1 && number <= 63)
        config_.cabinets.insert(number, state);
}

void Collector::setBootKernel(BootKernelInput input)
{
    bootKernel_ = std::move(input);
    decoder_.reset();
    argument_.clear();
    argumentOverflow_ = false;
    afterCollectorWord_ = false;
    gsmTalking_ = false;
    gsmEndTimer_.stop();
    deferred_.clear();
    setMode(Mode::Auto);
}

void Collector::sendFromBootKernel(QByteArrayView bytes)
{
    if (bootKernel_)
        emitNow(bytes.toByteArray());
}

void Collector::addBusDevice(std::shared_ptr<BusDevice> device)
{
    if (device)
        devices_.push_back(std::move(device));
}

void Collector::removeBusDevice(const BusDevice *device)
{
    std::erase_if(devices_, [device](const auto &d) { return d.get() == device; });
}

// ---- faults and ports

void Collector::setRefused(quint8 code, bool refused)
{
    if (refused)
        refused_.insert(code);
    else
        refused_.remove(code);
}

void Collector::setDisconnected(bool disconnected)
{
    if (disconnected == disconnected_)
        return;
    disconnected_ = disconnected;
    emit disconnectedChanged(disconnected);
}

bool Collector::claim(const void *port)
{
    if (holder_ && holder_ != port)
        return false;
    holder_ = port;
    return true;
}

void Collector::release(const void *port)
{
    if (holder_ == port)
        holder_ = nullptr;
}

// ---- output

void Collector::sendLine(QByteArrayView line)
{
    QByteArray bytes = line.toByteArray();
    bytes.append(lineEnd);
    out(bytes);
}

void Collector::sendBytes(QByteArrayView bytes)
{
    out(bytes.toByteArray());
}

void Collector::out(const QByteArray &bytes)
{
    if (bootKernel_)  // the program is not running
        return;
    if (gsmTalking_) {
        if (deferred_.size() + bytes.size() <= maxDeferred)
            deferred_.append(bytes);
        return;
    }
    emitNow(bytes);
}

void Collector::emitNow(const QByteArray &bytes)
{
    if (silent_ || bytes.isEmpty())
        return;
    const QByteArray sent = filter_ ? filter_(bytes) : bytes;
    if (!sent.isEmpty())
        emit transmit(sent);
}

void Collector::sendReportCycle()
{
    if (streaming_)
        return;
    QByteArray cycle;
    auto line = [&cycle](int number, quint8 state) {
        cycle += "%BOX: " + QByteArray::number(number) + ',' + QByteArray::number(state) + lineEnd;
    };
    line(0, config_.ownState);
    for (auto it = config_.cabinets.cbegin(); it != config_.cabinets.cend(); ++it)
        line(it.key(), it.value());
    line(64, config_.closingState);
    out(cycle);
}

void Collector::sendClockLine()
{
    if (streaming_)
        return;
    const auto now = clock();
    sendLine(now ? "%TIME:" + clocktext::format(*now) : QByteArray("%NOTIME"));
}

void Collector::sendCardAndTaskLines()
{
    if (streaming_)
        return;
    sendLine(config_.cardPresent ? "%CARD:1" : "%CARD:0");
    sendLine(config_.taskPresent ? "%RULE:1" : "%RULE:0");
}

void Collector::beginGsmTalk()
{
    if (gsmTalking_ || bootKernel_ || streaming_)
        return;
    emitNow(QByteArray(1, '\x03'));
    gsmTalking_ = true;
}

void Collector::endGsmTalk()
{
    if (!gsmTalking_)
        return;
    gsmTalking_ = false;
    gsmEndTimer_.stop();
    // The markers share one line of their own, so no report loses its token.
    emitNow(QByteArray("\x04") + lineEnd);
    emitNow(std::exchange(deferred_, {}));
}
