#include "clicontext.h"

#include <QFile>
#include <cstdio>
#include "link/link.h"
#include "tasks/linkuploadchannel.h"
#include "tasks/taskdata.h"

namespace {

int runBuildTask(CliContext &, const QStringList &args)
{
    if (!args.isEmpty())
        return fail(QStringLiteral("build-task takes no arguments"), 2);
    QStringList notes;
    QString error;
    const bool ok = writeTaskFileFromFolder(TaskDataFolder(QStringLiteral("data")), &notes, &error);
    for (const QString &note : notes)
        std::fprintf(stderr, "%s\n", qPrintable(note));
    if (!ok)
        return fail(error.isEmpty() ? QStringLiteral("cannot build data/rule.bin") : error);
    printOut(QStringLiteral("data/rule.bin"));
    return 0;
}

int runUploadTask(CliContext &context, const QStringList &args)
{
    if (!args.isEmpty())
        return fail(QStringLiteral("upload-task takes no arguments"), 2);
    if (!QFile::exists(QStringLiteral("data/rule.bin")))
        return fail(QStringLiteral("data/rule.bin does not exist; run build-task first"));
    QString error;
    if (!context.connectLink(&error))
        return fail(error);
    LinkTaskUploadChannel channel(context.link());
    if (!uploadTaskFile(QStringLiteral("data/rule.bin"), channel, context.ui()))
        return fail(context.ui().lastMessage.isEmpty() ? QStringLiteral("upload failed") : context.ui().lastMessage);
    return 0;
}

const CliCommandRegistration buildTask(
    {"build-task", "build-task            build data/rule.bin from the task files in data/", runBuildTask});
const CliCommandRegistration uploadTask(
    {"upload-task", "upload-task           write data/rule.bin to the collector as rule.bin", runUploadTask});

}  // namespace
