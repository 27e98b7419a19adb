// incubator-cli [--port PATH] COMMAND ...: the program's jobs without a window,
// on the same link and cores. Works in the current folder ("cache/", "data/").
#include "app/portsettings.h"
#include "clicontext.h"

#include <QGuiApplication>
#include <cstdio>

namespace {

void printUsage()
{
    std::fprintf(stderr, "usage: incubator-cli [--port PATH] [--verbose] COMMAND ...\n"
                         "PATH is a serial device, or sim:demo for the built-in demonstration collector;\n"
                         "without --port the port chosen in the program is used.\n\ncommands:\n");
    for (const CliCommand &c : cliCommands())
        std::fprintf(stderr, "  %s\n", c.usage);
}

}  // namespace

int main(int argc, char *argv[])
{
    // Pictures and PDF pages need fonts, so the tool is a GUI application
    // that never shows a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("KIVO"));
    QCoreApplication::setApplicationName(QStringLiteral("Incubator"));
    QStringList args = app.arguments().mid(1);

    QString port;
    bool verbose = false;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--port") && !args.isEmpty()) {
            port = args.takeFirst();
        } else if (option == QLatin1String("--verbose")) {
            verbose = true;
        } else if (option == QLatin1String("--help")) {
            printUsage();
            return 0;
        } else {
            printUsage();
            return fail(QStringLiteral("unknown option %1").arg(option), 2);
        }
    }
    if (args.isEmpty()) {
        printUsage();
        return fail(QStringLiteral("no command given"), 2);
    }
    if (port.isEmpty())
        port = loadPortChoice().path;

    const QString name = args.takeFirst();
    for (const CliCommand &c : cliCommands()) {
        if (name == QLatin1String(c.name)) {
            CliContext context(port);
            context.ui().verbose = verbose;
            return c.run(context, args);
        }
    }
    printUsage();
    return fail(QStringLiteral("unknown command %1").arg(name), 2);
}
