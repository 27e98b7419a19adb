#include "link.h"

#include "cp1251.h"
#include "filestreamsink.h"
#include "operatorui.h"
#include "tokens.h"
#include "wire.h"

#include <QCoreApplication>
#include <QThread>

namespace {

const QString openFailedText = QStringLiteral("Невозможно открыть порт ");
const QString configureFailedText = QStringLiteral("Невозможно настроить порт ");
const QString waitingText = QStringLiteral("Ожидание...");

void restart(QTimer &timer)
{
    timer.stop();
    timer.start();
}

}  // namespace

// Bridges the protocol's events to the link without exposing them publicly.
class Link::Dispatch : public LineProtocol::Events
{
public:
    explicit Dispatch(Link &link) : link_(link) {}
    bool lineReceived(const QByteArray &line) override { return link_.dispatchLine(line); }
    void frameReceived(int slot) override { link_.onFrame(slot); }
    void gsmMarker(bool talking) override { link_.onGsmMarker(talking); }

private:
    Link &link_;
};

Link::Link(PortFactory factory, OperatorUi &ui, LinkTimings timings, QObject *parent)
    : QObject(parent), factory_(std::move(factory)), ui_(ui), timings_(timings),
      dispatch_(std::make_unique<Dispatch>(*this))
{
    pump_.setInterval(timings_.pumpMs);
    pump_.setTimerType(Qt::PreciseTimer);
    connect(&pump_, &QTimer::timeout, this, &Link::tick);

    replyTimer_.setInterval(timings_.replyMs);
    replyTimer_.setSingleShot(true);   // a stopped TO is the reply time-out

    silenceTimer_.setInterval(timings_.silenceMs);
    connect(&silenceTimer_, &QTimer::timeout, this, [this] {
        if (!portHeld_ && isOpen() && state_ == Open) {
            ui_.setStatus(waitingText);
            setState(CloseRequested);
        }
    });
    silenceTimer_.start();

    gsmTimer_.setInterval(timings_.gsmPanelMs);
    gsmTimer_.setSingleShot(true);
    connect(&gsmTimer_, &QTimer::timeout, this, &Link::hideGsmPanel);

    cabinetTimer_.setInterval(timings_.cabinetReportMs);
    connect(&cabinetTimer_, &QTimer::timeout, this, &Link::cabinetReportsLost);
    cabinetTimer_.start();
}

Link::~Link()
{
    closing_ = true;
    pump_.stop();
    closePort();
}

void Link::setPort(const QString &path, const QString &friendlyName)
{
    comPort_ = path;
    comFriendly_ = friendlyName;
}

void Link::startPump()
{
    if (!pump_.isActive())
        pump_.start();
}

void Link::stopPump()
{
    pump_.stop();
}

void Link::setClosing()
{
    closing_ = true;
    pump_.stop();
}

bool Link::closing() const
{
    return closing_ || QCoreApplication::closingDown();
}

void Link::setState(State s)
{
    if (state_ == s)
        return;
    state_ = s;
    Q_EMIT stateChanged(int(s));
}

void Link::tick()
{
    if (inTick_ || closing_)
        return;
    inTick_ = true;
    switch (state_) {
    case Closed:
        if (!openSuspended_)
            openPort();
        break;
    case Open:
        if (portHeld_)
            restart(silenceTimer_);
        else
            readPort();
        break;
    case CloseRequested:
        closePort();
        setState(Closed);
        break;
    }
    inTick_ = false;
}

void Link::openPort()
{
    auto port = factory_ ? factory_(comPort_) : nullptr;
    if (!port || !port->open(comPort_)) {
        ui_.setStatus(openFailedText + comFriendly_);
        return;
    }
    if (!port->configure(baudRate)) {
        port->close();
        ui_.setStatus(configureFailedText + comFriendly_ + QStringLiteral(" на ") + QString::number(baudRate)
                      + QStringLiteral(" bps"));
        return;
    }
    // Smaller input queues are tried when a driver refuses the larger one;
    // whatever the outcome, the port is used.
    for (qint64 input : {65536, 32768, 16384})
        if (port->setQueueSizes(input, 1024))
            break;
    ui_.setStatus(comFriendly_ + QStringLiteral(": ") + QString::number(port->baudRate()) + QStringLiteral(" bps"));
    port->setWriteTimeout(timings_.writePerByteMs, timings_.writeConstantMs);
    port->purge();
    port_ = std::move(port);

    if (!logPath_.isEmpty()) {
        measurementLog_.setFileName(logPath_);
        // Unbuffered: every recorded frame is on disk at once, not after 16 KiB.
        measurementLog_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    }
    protocol_.resetFrames();

    setState(Open);
    Q_EMIT portOpened();
    restart(replyTimer_);
}

void Link::readPort()
{
    const qint64 n = port_ ? port_->read(readBuffer_, readChunk) : -1;
    if (n < 0) {
        closePort();
        ui_.setStatus(configureFailedText + comFriendly_ + QStringLiteral(" на ") + QString::number(baudRate)
                      + QStringLiteral(" bps"));
        setState(Closed);
        return;
    }
    if (closing())
        return;
    if (!replyTimer_.isActive())
        protocol_.abandonFrame();
    if (n > 0)
        processChunk(readBuffer_, n);
}

void Link::closePort()
{
    if (port_) {
        port_->close();
        port_.reset();
    }
    if (measurementLog_.isOpen())
        measurementLog_.close();
}

void Link::processChunk(const char *data, qsizetype size)
{
    qsizetype i = 0;
    while (i < size) {
        if (receivingFile_ && sink_) {
            const qsizetype offered = size - i;
            const qsizetype used = qBound<qsizetype>(0, sink_->consume(data + i, offered), offered);
            i += used;
            receivingFile_ = used == offered && sink_->streaming();
            continue;
        }
        receivingFile_ = false;
        i += protocol_.feed(data + i, size - i, *dispatch_);
    }
}

bool Link::dispatchLine(const QByteArray &line)
{
    restart(silenceTimer_);
    switch (classifyLine(line)) {
    case LineKind::Ack:
        ack_ = true;
        break;
    case LineKind::Nak:
        nak_ = true;
        break;
    case LineKind::Status:
        // The number is read for its form only; nothing uses it.
        (void)parseDecimal(textFrom(line, 3));
        break;
    case LineKind::Dir:
        restart(replyTimer_);
        Q_EMIT dirLine(cp1251::decode(line.mid(5)));
        break;
    case LineKind::Zev:
        Q_EMIT zevLine(line);
        break;
    case LineKind::Box:
        restart(cabinetTimer_);
        Q_EMIT boxLine(textFrom(line, 6));
        break;
    case LineKind::Time:
        if (line.size() == 6) {
            deviceTime_.clear();
        } else {
            deviceTime_ = cp1251::decode(textFrom(line, 7));
            Q_EMIT timeReported(deviceTime_);
        }
        break;
    case LineKind::NoTime:
        Q_EMIT noTimeReported();
        break;
    case LineKind::Card:
        Q_EMIT cardCaption(line.size() > 6 && line[6] == '1' ? QStringLiteral("Карта SD установлена")
                                                             : QStringLiteral("Карта SD не установлена!"));
        break;
    case LineKind::Rule:
        Q_EMIT ruleCaption(line.size() > 6 && line[6] == '1' ? QStringLiteral("Задание ОК")
                                                             : QStringLiteral("Нет задания!"));
        break;
    case LineKind::Data:
        if (sink_) {
            receivingFile_ = true;
            sink_->streamAnnounced(textFrom(line, 4));
            return true;
        }
        break;
    case LineKind::Other:
        Q_EMIT terminalLine(cp1251::decode(line));
        break;
    }
    return false;
}

void Link::onGsmMarker(bool talking)
{
    if (talking) {
        if (!gsmTimer_.isActive())
            gsmTimer_.start();
    } else {
        gsmTimer_.stop();
    }
    if (replyTimer_.isActive())
        restart(replyTimer_);
    if (gsmTalking_ != talking) {
        gsmTalking_ = talking;
        Q_EMIT gsmTalkingChanged(talking);
    }
}

void Link::hideGsmPanel()
{
    gsmTimer_.stop();
    if (gsmTalking_) {
        gsmTalking_ = false;
        Q_EMIT gsmTalkingChanged(false);
    }
}

void Link::onFrame(int slot)
{
    restart(silenceTimer_);
    restart(replyTimer_);
    if (recordFrames_ && measurementLog_.isOpen())
        measurementLog_.write(reinterpret_cast<const char *>(protocol_.slotData(slot)) + 2, 12);
    if (!framesPaused_) {
        Q_EMIT frameReceived(slot);
        protocol_.advanceFrameSlot();
    }
}

void Link::restartReplyTimer() { restart(replyTimer_); }
void Link::restartSilenceWatchdog() { restart(silenceTimer_); }
void Link::restartCabinetWatchdog() { restart(cabinetTimer_); }

void Link::requestReopen()
{
    setState(CloseRequested);
}

void Link::reopenLink()
{
    if (!isOpen() || state_ != Open)
        return;
    ui_.setStatus(waitingText);
    setState(CloseRequested);
    waitUntil([this] { return isOpen() && state_ == Open; });
}

bool Link::waitUntil(const std::function<bool()> &done)
{
    while (!done()) {
        if (closing())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (done())
            break;
        QThread::msleep(1);
    }
    return !closing();
}

void Link::waitWhileGsmTalks()
{
    waitUntil([this] { return !gsmTalking_; });
}

void Link::write(const QByteArray &encoded)
{
    if (port_ && port_->isOpen())
        port_->write(encoded);
}

void Link::sendDataBytes(QByteArrayView bytes) { write(wire::dataBytes(bytes)); }
void Link::sendBusBytes(QByteArrayView bytes) { write(wire::busBytes(bytes)); }
void Link::sendPacedBytes(QByteArrayView bytes) { write(wire::pacedBytes(bytes)); }
void Link::sendBusWord(quint16 word) { write(wire::busWord(word)); }
void Link::sendCommand(quint8 code) { write(wire::command(code)); }

void Link::sendArgument(QByteArrayView argument)
{
    write(wire::dataBytes(argument) + wire::checksumPairs(argument));
}

bool Link::flushPort()
{
    return port_ && port_->isOpen() && port_->flush();
}

void Link::beginExchange()
{
    waitWhileGsmTalks();
    readRetries_ = 0;
    ack_ = nak_ = false;
    receivingFile_ = false;
    Q_EMIT exchangeStateChanged();
    fileComplete_ = false;
    sendCommand(cmd::Reset);
    flushPort();
    waitWhileGsmTalks();
    sendCommand(cmd::Reset);
    flushPort();
}

bool Link::awaitReply()
{
    ui_.setBusy(true);
    waitWhileGsmTalks();
    restart(replyTimer_);
    waitUntil([this] { return ack_ || nak_ || !replyTimer_.isActive() || fileComplete_; });
    receivingFile_ = false;
    Q_EMIT exchangeStateChanged();
    fileComplete_ = false;
    sendCommand(cmd::Reset);
    flushPort();
    sendCommand(cmd::Reset);
    flushPort();
    ui_.setBusy(false);

    bool result = false;
    if (!closing())
        result = (nak_ && !ack_) ? false : replyTimer_.isActive();
    ack_ = nak_ = false;
    return result;
}

bool Link::request(quint8 code, std::optional<QByteArray> argument)
{
    beginExchange();
    if (argument)
        sendArgument(*argument);
    sendCommand(code);
    flushPort();
    return awaitReply();
}

bool Link::cardClick()
{
    return request(cmd::Card);
}
