#include "clicontext.h"

#include "link/link.h"
#include "sim/portfactory.h"

#include <QElapsedTimer>
#include <cstdio>

void ConsoleOperator::setStatus(const QString &text)
{
    if (verbose)
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

void ConsoleOperator::setProgress(int percent, const QString &text)
{
    std::fprintf(stderr, "\r%3d%% %s", percent, qPrintable(text));
    if (percent >= 100)
        std::fprintf(stderr, "\n");
}

bool ConsoleOperator::ask(const QString &question, const QString &caption, Icon)
{
    std::fprintf(stderr, "%s: %s -> %s\n", qPrintable(caption), qPrintable(QString(question).replace('\r', ' ')),
                 answer ? "да" : "нет");
    return answer;
}

void ConsoleOperator::message(const QString &text, const QString &caption, Icon)
{
    lastMessage = text;
    std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
}

void ConsoleOperator::flashLog(const QString &line)
{
    std::fprintf(stderr, "%s\n", qPrintable(line));
}

CliContext::CliContext(QString portPath) : portPath_(std::move(portPath)) {}

CliContext::~CliContext()
{
    if (link_)
        link_->setClosing();
}

Link &CliContext::link()
{
    if (!link_) {
        link_ = std::make_unique<Link>(simulatorAwarePortFactory(), ui_);
        link_->setPort(portPath_, portPath_);
        // The measurement log belongs to the window; the tool keeps none.
        link_->setMeasurementLogPath(QString());
    }
    return *link_;
}

bool CliContext::connectLink(QString *error)
{
    Link &l = link();
    l.startPump();
    QElapsedTimer clock;
    clock.start();
    l.waitUntil([&] { return l.state() == Link::Open || clock.elapsed() > 3000; });
    if (l.state() != Link::Open) {
        if (error)
            *error = QStringLiteral("cannot open port '%1'").arg(portPath_);
        return false;
    }
    return true;
}

int fail(const QString &reason, int code)
{
    std::fprintf(stderr, "incubator-cli: %s\n", qPrintable(reason));
    return code;
}

void printOut(const QString &line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
}
