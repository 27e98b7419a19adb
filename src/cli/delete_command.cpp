#include "clicontext.h"
#include "files/cardfiles.h"

namespace {

int runDelete(CliContext &context, const QStringList &args)
{
    if (args.isEmpty())
        return fail(QStringLiteral("delete needs the names of card files"), 2);
    QString error;
    if (!context.connectLink(&error))
        return fail(error);
    for (const QString &name : args)
        if (!deleteCardFile(context.link(), name))
            return fail(QStringLiteral("the collector did not delete %1").arg(name));
    return 0;
}

const CliCommandRegistration registration(
    {"delete", "delete NAME...        delete files on the collector's card", runDelete});

}  // namespace
