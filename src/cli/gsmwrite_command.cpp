#include "gsmsession.h"

namespace {

int runGsmWrite(CliContext &context, const QStringList &args)
{
    // The settings text holds blanks: its words may come as one argument or several.
    const QString text = args.join(QLatin1Char(' '));
    if (text.trimmed().isEmpty())
        return fail(QStringLiteral("gsm-write needs the settings text"), 2);
    QString error;
    if (!context.connectLink(&error))
        return fail(error);

    CliGsmSession session(context);
    // Reads the current settings first, so that only what TEXT changes is sent.
    if (!session.exchange().writeChanges(text))
        return 1;
    printOut(context.ui().lastMessage);
    return 0;
}

const CliCommandRegistration registration(
    {"gsm-write", "gsm-write TEXT        write what TEXT changes in the GSM module's settings", runGsmWrite});

}  // namespace
