#include "clicontext.h"
#include "ports/portlist.h"

namespace {

int runPorts(CliContext &, const QStringList &args)
{
    if (!args.isEmpty())
        return fail(QStringLiteral("ports takes no arguments"), 2);
    for (const PortEntry &e : availablePorts())
        printOut(e.caption + QLatin1Char('\t') + e.path);
    return 0;
}

const CliCommandRegistration registration(
    {"ports", "ports                 list the ports the port dialog offers (name TAB path)", runPorts});

}  // namespace
