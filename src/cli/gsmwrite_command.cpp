#include "clicontext.h"
#include "gsm/collectorgsmlink.h"
#include "gsm/gsmexchange.h"
#include "gsm/plaingsmpage.h"

#include <QObject>
#include <QScopeGuard>

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

    PlainGsmPage page;
    CollectorGsmLink gsm(context.link());
    GsmExchange exchange(gsm, context.ui());
    exchange.setPage(&page);
    // The link outlives this exchange.
    const auto delivery = qScopeGuard([c = gsm.deliverTo(exchange)] { QObject::disconnect(c); });
    // Reads the current settings first, so that only what TEXT changes is sent.
    if (!exchange.writeChanges(text))
        return 1;
    printOut(context.ui().lastMessage);
    return 0;
}

const CliCommandRegistration registration(
    {"gsm-write", "gsm-write TEXT        write what TEXT changes in the GSM module's settings", runGsmWrite});

}  // namespace
