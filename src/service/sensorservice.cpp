#include "sensorservice.h"

#include "link/link.h"
#include "link/operatorui.h"
#include "link/wire.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QThread>

namespace {

constexpr char readCommand = 'R';
constexpr char writeCommand = 'W';
constexpr char measureCommand = 'D';
constexpr char resetCommand = 'e';

const QString noAnswerText = QStringLiteral("Устройство не отвечает!");
const QString errorCaption = QStringLiteral("Ошибка!");
const QString crcText = QStringLiteral("Ошибка CRC!");

bool validAddress(int address)
{
    return address >= 1 && address <= SensorService::broadcastAddress;
}

}  // namespace

SensorService::SensorService(Link &link, OperatorUi &ui, SensorTimings timings)
    : link_(link), ui_(ui), timings_(timings)
{
}

void SensorService::bridgeMode()
{
    link_.sendBusWord(wire::busAddressBase);
    link_.flushPort();
    link_.sendCommand(cmd::Bridge);
    link_.flushPort();
}

void SensorService::autoMode()
{
    link_.sendBusWord(wire::busAddressBase);
    link_.flushPort();
    link_.sendCommand(cmd::Auto);
    link_.flushPort();
}

void SensorService::sleep(int ms)
{
    // Events must run: they carry the bytes to and from the port.
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        QCoreApplication::processEvents();
        if (clock.elapsed() >= ms || link_.closing())
            return;
        QThread::msleep(1);
    }
}

void SensorService::discardPortBuffers()
{
    if (SerialPort *port = link_.port())
        port->purge();
}

void SensorService::addressSensor(int address)
{
    link_.sendBusWord(quint16(wire::busAddressBase + address));
    link_.sendBusWord(quint16(wire::busAddressBase + address));
    link_.flushPort();
}

void SensorService::selectSensor(int address, int pauseMs)
{
    // What was just written (the mode command) leaves before the buffers
    // are discarded.
    sleep(0);
    discardPortBuffers();
    link_.sendBusWord(wire::busAddressBase);
    link_.sendBusWord(wire::busAddressBase);
    link_.flushPort();
    sleep(timings_.settleMs);
    addressSensor(address);
    sleep(pauseMs);
    discardPortBuffers();
}

QByteArray SensorService::readAnswer()
{
    SerialPort *port = link_.port();
    if (!port || !port->isOpen())
        return {};
    char buffer[SensorRecord::size];
    const qint64 n = port->read(buffer, SensorRecord::size);
    return n > 0 ? QByteArray(buffer, qsizetype(n)) : QByteArray();
}

SensorService::ReadResult SensorService::readRecord(int address)
{
    if (busy_)
        return {ReadOutcome::Busy, {}};
    if (!validAddress(address))
        return {ReadOutcome::NoAnswer, {}};
    busy_ = true;
    const auto done = qScopeGuard([this] { busy_ = false; });

    bridgeMode();
    link_.setPortHeld(true);
    ui_.setBusy(true);

    selectSensor(address, timings_.readSelectMs);
    link_.sendBusBytes(QByteArrayView(&readCommand, 1));
    sleep(timings_.replyMs);
    const QByteArray answer = readAnswer();

    ReadResult result;
    if (link_.closing()) {
        // The program is closing: no message box now.
    } else if (answer.size() < SensorRecord::size) {
        ui_.message(noAnswerText, errorCaption, OperatorUi::Icon::Error);
    } else {
        result.record = SensorRecord::fromBytes(answer);
        result.outcome = result.record.checksumOk() ? ReadOutcome::Good : ReadOutcome::BadChecksum;
        if (result.outcome == ReadOutcome::BadChecksum)
            ui_.message(crcText, crcText, OperatorUi::Icon::Error);
    }

    link_.setPortHeld(false);
    ui_.setBusy(false);
    autoMode();
    return result;
}

SensorService::WriteOutcome SensorService::writeRecord(int address, const QStringList &rows)
{
    if (busy_)
        return WriteOutcome::Busy;
    if (!validAddress(address))
        return WriteOutcome::Invalid;

    const auto refuse = [this, &rows](int row) {
        ui_.message(notANumberMessage(row, rows.value(row)), errorCaption, OperatorUi::Icon::Error);
        return WriteOutcome::Invalid;
    };
    const auto number = parseSensorNumber(rows.value(0));
    if (!number)
        return refuse(0);
    if (*number != address
        && !ui_.ask(QStringLiteral("Номер датчика не совпадает!\nТочно записать?"), QStringLiteral("Предупреждение!"),
                    OperatorUi::Icon::Information))
        return WriteOutcome::Declined;
    // Every row is checked before the first byte goes out, so a refused
    // write leaves the collector and the sensor untouched.
    const RecordFromRows built = recordFromRows(rows);
    if (!built.record)
        return refuse(built.badRow);

    busy_ = true;
    const auto done = qScopeGuard([this] { busy_ = false; });
    bridgeMode();
    ui_.setBusy(true);
    link_.setPortHeld(true);
    QCoreApplication::processEvents();

    selectSensor(address, timings_.writeSelectMs);
    link_.sendPacedBytes(QByteArrayView(&writeCommand, 1));
    link_.sendPacedBytes(built.record->bytes());
    link_.flushPort();
    sleep(timings_.replyMs);
    const QByteArray answer = readAnswer();

    WriteOutcome outcome = WriteOutcome::NoAnswer;
    ui_.setBusy(false);
    if (link_.closing()) {
        // The program is closing: no message box now.
    } else if (answer.size() < SensorRecord::size) {
        ui_.message(noAnswerText, errorCaption, OperatorUi::Icon::Error);
    } else if (SensorRecord::fromBytes(answer).checksumOk()) {
        outcome = WriteOutcome::Written;
        ui_.message(QStringLiteral("Данные записаны. CRC - OK."), QStringLiteral("Данные записаны"),
                    OperatorUi::Icon::Information);
    } else {
        outcome = WriteOutcome::BadChecksum;
        ui_.message(crcText, crcText, OperatorUi::Icon::Error);
    }

    link_.setPortHeld(false);
    autoMode();
    return outcome;
}

void SensorService::startMeasurement(int address)
{
    link_.setFrameDisplayPaused(false);
    if (!validAddress(address))
        return;
    ui_.setBusy(true);
    bridgeMode();
    addressSensor(address);
    link_.sendBusBytes(QByteArrayView(&measureCommand, 1));
    ui_.setBusy(false);
}

void SensorService::stopMeasurement()
{
    link_.setFrameDisplayPaused(true);
    link_.setPortHeld(true);
    link_.sendBusWord(wire::busAddressBase);
    link_.sendBusWord(wire::busAddressBase);
    link_.flushPort();
    link_.setPortHeld(false);
    autoMode();
}

void SensorService::resetSensor(int address)
{
    if (!validAddress(address))
        return;
    link_.setPortHeld(true);
    addressSensor(address);
    link_.sendBusBytes(QByteArrayView(&resetCommand, 1));
    link_.setPortHeld(false);
}

void SensorService::search()
{
    link_.sendCommand(cmd::Search);
    link_.flushPort();
}

void SensorService::poll()
{
    link_.sendCommand(cmd::Poll);
    link_.flushPort();
}
