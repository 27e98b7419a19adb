#include "deviceclock.h"

#include "link/link.h"
#include "link/operatorui.h"

#include <QScopedValueRollback>

QByteArray cclkCommandText(const QDateTime &localTime)
{
    // The format letters of QDateTime::toString ignore the system's time
    // separator, so the colons stay colons everywhere.
    const QByteArray stamp = localTime.toString(QStringLiteral("yy/MM/dd,HH:mm:ss")).toLatin1();
    return "\rAT+CCLK=\"" + stamp + "+08\"\r\r\r";
}

std::optional<QString> readDeviceTime(Link &link)
{
    link.clearDeviceTime();
    link.beginExchange();
    link.sendCommand(cmd::GetTime);
    link.flushPort();
    if (!link.awaitReply())
        return std::nullopt;
    // A "%TIME:" line before the acknowledgement carries the time.
    return link.deviceTime();
}

ClockResult setDeviceClock(Link &link, OperatorUi &ui, const QDateTime &now, bool askFirst)
{
    const std::optional<QString> time = readDeviceTime(link);
    if (!time)
        return ClockResult::NoAnswer;
    if (askFirst && !time->isEmpty()) {
        const QString question =
            QStringLiteral("В устройстве установлена следующая дата / время.\r") + *time + QStringLiteral("\rПереустановить?");
        if (!ui.ask(question, QStringLiteral("Часы / календарь"), OperatorUi::Icon::Warning))
            return ClockResult::Kept;
    }
    link.beginExchange();
    link.sendArgument(cclkCommandText(now));
    link.sendCommand(cmd::GsmText);
    link.flushPort();
    return link.awaitReply() ? ClockResult::Set : ClockResult::SetRefused;
}

DeviceClock::DeviceClock(Link &link, OperatorUi &ui, QObject *parent)
    : QObject(parent), link_(link), ui_(ui)
{
    TimeTimer.setObjectName(QStringLiteral("TimeTimer"));
    TimeTimer.setSingleShot(true);
    TimeTimer.setInterval(link_.timings().clockQuestionMs);
    connect(&TimeTimer, &QTimer::timeout, this, &DeviceClock::TimeTimerTimer);
    connect(&link_, &Link::noTimeReported, this, [this] {
        // A running timer is not restarted: repeated reports ask once.
        if (!TimeTimer.isActive())
            TimeTimer.start();
    });
}

void DeviceClock::Button11Click()
{
    // The waits inside let the timer fire; one dialog at a time.
    if (running_)
        return;
    const QScopedValueRollback<bool> guard(running_, true);
    setDeviceClock(link_, ui_, QDateTime::currentDateTime());
}

void DeviceClock::TimeTimerTimer()
{
    Button11Click();
}
