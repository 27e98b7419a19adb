#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>

class Link;
class OperatorUi;

// The collector's clock. It reports its time as a text that is shown as it
// came and never parsed; it is set with the GSM module's AT+CCLK command,
// passed through the collector.

// The text sent to set the clock: CR, AT+CCLK="yy/MM/dd,hh:mm:ss+08", three CRs.
// The separators are fixed; "+08" is the module's time-zone field.
QByteArray cclkCommandText(const QDateTime &localTime);

// Asks the collector for its time. Nothing when it did not answer; an empty
// text when it answered without a time.
std::optional<QString> readDeviceTime(Link &link);

enum class ClockResult { NoAnswer, Kept, Set, SetRefused };

// "Часы / календарь": reads the collector's time, asks whether to replace a
// time it has (unless `askFirst` is false) and sets it to `now`.
ClockResult setDeviceClock(Link &link, OperatorUi &ui, const QDateTime &now, bool askFirst = true);

// The tool-bar button and `TimeTimer`: a collector that reports no time gets
// the question one moment later, once however often it says so.
class DeviceClock : public QObject
{
    Q_OBJECT
public:
    DeviceClock(Link &link, OperatorUi &ui, QObject *parent = nullptr);

    bool running() const { return running_; }
    const QTimer &timeTimer() const { return TimeTimer; }

public Q_SLOTS:
    void Button11Click();

private:
    void TimeTimerTimer();

    Link &link_;
    OperatorUi &ui_;
    QTimer TimeTimer;
    bool running_ = false;
};
