#include "clicontext.h"
#include "gsm/collectorgsmlink.h"
#include "gsm/gsmexchange.h"
#include "gsm/plaingsmpage.h"

#include <QObject>
#include <QScopeGuard>

namespace {

int runGsmRead(CliContext &context, const QStringList &args)
{
    if (!args.isEmpty())
        return fail(QStringLiteral("gsm-read takes no arguments"), 2);
    QString error;
    if (!context.connectLink(&error))
        return fail(error);

    PlainGsmPage page;
    CollectorGsmLink gsm(context.link());
    GsmExchange exchange(gsm, context.ui());
    exchange.setPage(&page);
    // The link outlives this exchange.
    const auto delivery = qScopeGuard([c = gsm.deliverTo(exchange)] { QObject::disconnect(c); });
    // The exchange has told the operator why (no settings, or none that checked out).
    if (!exchange.readSettings())
        return 1;
    printOut(exchange.settings());
    return 0;
}

const CliCommandRegistration registration(
    {"gsm-read", "gsm-read              print the GSM module's current settings", runGsmRead});

}  // namespace
