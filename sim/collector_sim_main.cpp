// collector-sim: a simulated statistics collector on a pseudo-terminal. The
// first line on standard output is the path to open as the serial port.
#include "sim/card/simcard.h"
#include "sim/collector.h"
#include "sim/gsm/gsmmodule.h"
#include "sim/outputpacer.h"
#include "sim/ptyendpoint.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] auto n = ::write(signalPipe[1], &c, 1);
}

// SIGTERM and SIGINT end the event loop, so everything closes in order.
bool quitOnSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return false;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char c;
        [[maybe_unused]] auto n = ::read(signalPipe[0], &c, 1);
        QCoreApplication::quit();
    });
    struct sigaction action{};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGTERM, &action, nullptr) == 0 && ::sigaction(SIGINT, &action, nullptr) == 0;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("collector-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated statistics collector served on a pseudo-terminal.\n"
        "Prints the terminal's path as the first line, then serves until SIGTERM or SIGINT."));
    parser.addHelpOption();
    const QCommandLineOption noCard(QStringLiteral("no-card"), QStringLiteral("Report no SD card and no task."));
    const QCommandLineOption noTime(QStringLiteral("no-time"), QStringLiteral("Start with the clock not set."));
    const QCommandLineOption silent(QStringLiteral("silent"), QStringLiteral("Receive everything, send nothing."));
    const QCommandLineOption refuse(QStringLiteral("refuse"),
                                    QStringLiteral("Answer command CODE with %N (may be repeated)."),
                                    QStringLiteral("CODE"));
    const QCommandLineOption reportMs(QStringLiteral("report-ms"),
                                      QStringLiteral("Interval of cabinet report cycles, 0 for none."),
                                      QStringLiteral("N"));
    const QCommandLineOption gsm(QStringLiteral("gsm-chatter"),
                                 QStringLiteral("Talk to the GSM module now and then (marker bytes 3 and 4)."));
    const QCommandLineOption pace(QStringLiteral("pace"),
                                  QStringLiteral("Send no faster than the real line, %1 bytes/s.")
                                      .arg(OutputPacer::lineRate));
    const QCommandLineOption card(QStringLiteral("card"), QStringLiteral("Serve the files of DIR as the SD card."),
                                  QStringLiteral("DIR"));
    parser.addOptions({noCard, noTime, silent, refuse, reportMs, gsm, pace, card});
    const QCommandLineOption gsmSettings(QStringLiteral("gsm-settings"),
                                         QStringLiteral("Settings text of the GSM module."), QStringLiteral("TEXT"));
    const QCommandLineOption gsmFault(QStringLiteral("gsm-fault"),
                                      QStringLiteral("GSM module fault: wrong-checksum, silent or nak-first "
                                                     "(may be repeated)."),
                                      QStringLiteral("NAME"));
    parser.addOption(gsmSettings);
    parser.addOption(gsmFault);
    parser.process(app);

    CollectorConfig config = CollectorConfig::demonstration();
    config.gsmChatter = parser.isSet(gsm);
    if (parser.isSet(noCard)) {
        config.cardPresent = false;
        config.taskPresent = false;
    }
    if (parser.isSet(noTime))
        config.clockOffsetMs.reset();
    if (parser.isSet(reportMs)) {
        bool ok = false;
        const int ms = parser.value(reportMs).toInt(&ok);
        if (!ok || ms < 0) {
            std::fprintf(stderr, "collector-sim: --report-ms needs a number of milliseconds\n");
            return 2;
        }
        config.reportMs = ms;
    }

    Collector collector(config);
    collector.setSilent(parser.isSet(silent));
    for (const QString &value : parser.values(refuse)) {
        bool ok = false;
        const int code = value.toInt(&ok);
        if (!ok || code < 0 || code > 31) {
            std::fprintf(stderr, "collector-sim: --refuse needs a command code 0..31\n");
            return 2;
        }
        collector.setRefused(quint8(code), true);
    }

    if (parser.isSet(card)) {
        QString error;
        if (!serveCardFolder(collector, parser.value(card), parser.isSet(pace), &error)) {
            std::fprintf(stderr, "collector-sim: %s\n", qPrintable(error));
            return 2;
        }
    }

    QString gsmError;
    const auto typedGsm = parser.isSet(gsmSettings) ? std::optional(parser.value(gsmSettings)) : std::nullopt;
    if (!GsmModule::installWithOptions(collector, typedGsm, parser.values(gsmFault), &gsmError)) {
        std::fprintf(stderr, "collector-sim: %s\n", qPrintable(gsmError));
        return 2;
    }

    PtyEndpoint endpoint(collector);
    if (!endpoint.open()) {
        std::fprintf(stderr, "collector-sim: %s\n", qPrintable(endpoint.errorText()));
        return 1;
    }
    if (parser.isSet(pace))
        endpoint.setPacing(OutputPacer::lineRate);
    if (!quitOnSignals(app)) {
        std::fprintf(stderr, "collector-sim: cannot catch signals\n");
        return 1;
    }

    std::printf("%s\n", qPrintable(endpoint.slavePath()));
    std::fflush(stdout);
    return app.exec();
}
