#include "clicontext.h"
#include "files/filelists.h"

namespace {

constexpr int directoryQuietMs = 500;   // the listing is over when the lines stop

int runList(CliContext &context, const QStringList &args)
{
    if (!args.isEmpty())
        return fail(QStringLiteral("list takes no arguments"), 2);
    QString error;
    if (!context.connectLink(&error))
        return fail(error);
    FileLists lists(context.link());
    lists.refreshFileLists();
    if (!lists.awaitDirectory(directoryQuietMs))
        return fail(QStringLiteral("the collector sent no directory"));
    for (const CardEntry &e : lists.card().entries())
        printOut(e.name + QLatin1Char('\t') + e.sizeText + (e.cached ? QStringLiteral("\t*") : QString()));
    return 0;
}

const CliCommandRegistration registration(
    {"list", "list                  the card's files: name TAB size [TAB * when in ./cache]", runList});

}  // namespace
