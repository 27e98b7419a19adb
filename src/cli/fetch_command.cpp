#include "clicontext.h"
#include "files/filelists.h"
#include "link/filetransfer.h"

#include <cstdio>

namespace {

constexpr int directoryQuietMs = 500;

// Progress on one line of stderr; the repeat question is answered Yes as
// often as --retries allows, then No.
class FetchOperator : public OperatorUi
{
public:
    FetchOperator(ConsoleOperator &console, int retries) : console_(console), retriesLeft_(retries) {}

    QString lastMessage;

    void setStatus(const QString &text) override { console_.setStatus(text); }
    void setProgress(int percent, const QString &text) override
    {
        if (text.isEmpty()) {
            endLine();
            return;
        }
        std::fprintf(stderr, "\r%3d%% %s", percent, qPrintable(text));
        lineOpen_ = true;
    }
    void setBusy(bool) override {}
    bool ask(const QString &question, const QString &caption, Icon) override
    {
        endLine();
        const bool yes = retriesLeft_ > 0;
        if (yes)
            --retriesLeft_;
        std::fprintf(stderr, "%s: %s -> %s\n", qPrintable(caption), qPrintable(QString(question).replace('\r', ' ')),
                     yes ? "да" : "нет");
        return yes;
    }
    // Every message ends the file's read; it becomes the one-line reason.
    void message(const QString &text, const QString &, Icon) override
    {
        endLine();
        lastMessage = QString(text).replace(QLatin1Char('\r'), QLatin1Char(' '));
    }
    void flashLog(const QString &line) override { console_.flashLog(line); }

private:
    void endLine()
    {
        if (lineOpen_)
            std::fputc('\n', stderr);
        lineOpen_ = false;
    }

    ConsoleOperator &console_;
    int retriesLeft_;
    bool lineOpen_ = false;
};

int runFetch(CliContext &context, const QStringList &arguments)
{
    QStringList args = arguments;
    bool onlyNew = false;
    int retries = 0;
    QStringList names;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == QLatin1String("--new")) {
            onlyNew = true;
        } else if (arg == QLatin1String("--retries")) {
            bool ok = false;
            retries = args.isEmpty() ? -1 : args.takeFirst().toInt(&ok);
            if (!ok || retries < 0)
                return fail(QStringLiteral("--retries needs a number of repeats"), 2);
        } else {
            names << arg;
        }
    }
    if (onlyNew == !names.isEmpty())
        return fail(QStringLiteral("fetch takes card file names or --new"), 2);

    QString error;
    if (!context.connectLink(&error))
        return fail(error);
    const QString cacheFolder = QStringLiteral("cache");
    if (onlyNew) {
        FileLists lists(context.link());
        lists.setCacheFolder(cacheFolder);
        lists.refreshFileLists();
        if (!lists.awaitDirectory(directoryQuietMs))
            return fail(QStringLiteral("the collector sent no directory"));
        for (const CardEntry &e : lists.card().entries())
            if (e.isNew())
                names << e.name;
    }

    FetchOperator ui(context.ui(), retries);
    FileTransfer transfer(context.link(), ui);
    transfer.setCacheFolder(cacheFolder);
    for (const QString &name : std::as_const(names)) {
        ui.lastMessage.clear();
        if (!transfer.readDeviceFile(name))
            return fail(ui.lastMessage.isEmpty() ? QStringLiteral("%1 could not be read from the collector").arg(name)
                                                 : ui.lastMessage);
    }
    return 0;
}

const CliCommandRegistration registration(
    {"fetch", "fetch [--retries N] NAME...|--new   copy card files into ./cache", runFetch});

}  // namespace
