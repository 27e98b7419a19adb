#include "gsmsession.h"

namespace {

int runGsmRead(CliContext &context, const QStringList &args)
{
    if (!args.isEmpty())
        return fail(QStringLiteral("gsm-read takes no arguments"), 2);
    QString error;
    if (!context.connectLink(&error))
        return fail(error);

    CliGsmSession session(context);
    // The exchange has told the operator why (no settings, or none that checked out).
    if (!session.exchange().readSettings())
        return 1;
    printOut(session.exchange().settings());
    return 0;
}

const CliCommandRegistration registration(
    {"gsm-read", "gsm-read              print the GSM module's current settings", runGsmRead});

}  // namespace
