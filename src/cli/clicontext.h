#pragma once
#include "link/operatorui.h"

#include <QString>
#include <QStringList>
#include <memory>

class Link;

// Shows on stderr what the window would show in its status bar and message
// boxes; questions get the answer the command chose.
class ConsoleOperator : public OperatorUi
{
public:
    bool answer = false;
    bool verbose = false;
    QString lastMessage;

    void setStatus(const QString &text) override;
    void setProgress(int percent, const QString &text) override;
    void setBusy(bool) override {}
    bool ask(const QString &question, const QString &caption, Icon icon) override;
    void message(const QString &text, const QString &caption, Icon icon) override;
    void flashLog(const QString &line) override;
};

// What every command gets: the chosen port and, once asked for, the link.
class CliContext
{
public:
    explicit CliContext(QString portPath);
    ~CliContext();

    QString portPath() const { return portPath_; }
    ConsoleOperator &ui() { return ui_; }

    // Opens the link on the port and waits until it is open; false (with the
    // reason in `error`) when it cannot be opened within a few seconds.
    bool connectLink(QString *error);
    Link &link();

private:
    QString portPath_;
    ConsoleOperator ui_;
    std::unique_ptr<Link> link_;
};

// One command of the tool. `run` returns the exit code; on failure it
// prints one line with the reason to stderr.
struct CliCommand
{
    const char *name;
    const char *usage;
    int (*run)(CliContext &context, const QStringList &args);
};

// Every command registers itself from its own file with a static
// CliCommandRegistration; the list is sorted by name.
const QList<CliCommand> &cliCommands();

struct CliCommandRegistration
{
    explicit CliCommandRegistration(const CliCommand &command);
};

// Prints "incubator-cli: <reason>" to stderr and returns `code`.
int fail(const QString &reason, int code = 1);
void printOut(const QString &line);
