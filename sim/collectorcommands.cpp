// The commands every collector knows: mode, search and poll, clock, reset, GSM
// text, card, temporary control. Later features register more handlers.
#include "clocktext.h"
#include "collector.h"
#include "commandcodes.h"

namespace {

constexpr qsizetype keptGsmTexts = 50;

}  // namespace

void Collector::installCommands()
{
    using namespace collectorcmd;
    const auto noReply = [](const Request &) { return Reply::None; };

    setCommandHandler(autoMode, Argument::Ignored,
                      [this](const Request &r) { return switchMode(r, Mode::Auto); });
    setCommandHandler(bridgeMode, Argument::Ignored,
                      [this](const Request &r) { return switchMode(r, Mode::Bridge); });
    setCommandHandler(search, Argument::Ignored, [this](const Request &) {
        // The bus was searched: report what is there without waiting for
        // the timers, so a program that just connected sees it at once.
        if (gsmTalking_)
            return Reply::None;
        if (config_.statusMs > 0)
            sendCardAndTaskLines();
        if (config_.reportMs > 0)
            sendReportCycle();
        return Reply::None;
    });
    setCommandHandler(poll, Argument::Ignored, noReply);
    setCommandHandler(reset, Argument::Ignored, noReply);
    setCommandHandler(getTime, Argument::None, [this](const Request &) {
        // The time line comes before the acknowledgement; without a time
        // only the acknowledgement comes.
        if (const auto now = clock())
            sendLine("%TIME:" + clocktext::format(*now));
        return Reply::Ack;
    });
    setCommandHandler(collectorcmd::gsmText, Argument::Checked,
                      [this](const Request &r) { return gsmText(r); });
    setCommandHandler(card, Argument::None, [](const Request &) { return Reply::Ack; });
    setCommandHandler(tempControlOff, Argument::Checked,
                      [this](const Request &r) { return temporaryControl(r, false); });
    setCommandHandler(tempControlOn, Argument::Checked,
                      [this](const Request &r) { return temporaryControl(r, true); });
}

Collector::Reply Collector::switchMode(const Request &request, Mode mode)
{
    // Only a command addressed to the collector by its bus word changes the mode.
    if (!request.afterCollectorWord)
        return Reply::Ignored;
    setMode(mode);
    return Reply::None;
}

Collector::Reply Collector::gsmText(const Request &request)
{
    if (gsmTexts_.size() >= keptGsmTexts)
        gsmTexts_.removeFirst();
    gsmTexts_.append(request.argument);
    if (const auto time = clocktext::parseCclk(request.argument))
        setClock(*time);
    emit gsmTextReceived(request.argument);
    return Reply::Ack;
}

Collector::Reply Collector::temporaryControl(const Request &request, bool on)
{
    if (request.argument.size() != 1)
        return Reply::Nak;
    const int number = quint8(request.argument[0]);
    if (!hasCabinet(number))
        return Reply::Nak;
    quint8 state = cabinetState(number);
    if (on)
        state |= CollectorConfig::temporary;
    else
        state &= quint8(~CollectorConfig::temporary);
    setCabinetState(number, state);
    return Reply::Ack;
}
