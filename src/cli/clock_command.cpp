#include "cabinets/deviceclock.h"
#include "clicontext.h"

#include <QDateTime>

namespace {

int runClock(CliContext &context, const QStringList &args)
{
    const bool set = args == QStringList{QStringLiteral("--set")};
    if (!args.isEmpty() && !set)
        return fail(QStringLiteral("clock takes only --set"), 2);
    QString error;
    if (!context.connectLink(&error))
        return fail(error);
    if (!set) {
        const std::optional<QString> time = readDeviceTime(context.link());
        if (!time)
            return fail(QStringLiteral("the collector did not answer"));
        if (!time->isEmpty())
            printOut(*time);
        return 0;
    }
    switch (setDeviceClock(context.link(), context.ui(), QDateTime::currentDateTime(), false)) {
    case ClockResult::Set:
        return 0;
    case ClockResult::NoAnswer:
        return fail(QStringLiteral("the collector did not answer"));
    case ClockResult::Kept:
    case ClockResult::SetRefused:
        break;
    }
    return fail(QStringLiteral("the collector did not take the new time"));
}

const CliCommandRegistration registration(
    {"clock", "clock [--set]         print the collector's time; --set sets it from this computer", runClock});

}  // namespace
