#pragma once
#include <QString>
#include <QStringList>

// Everything the link and the cores show to a person or ask of one. The
// window implements it with widgets; tests and the command-line tool answer
// from a script. Core code never opens a message box itself.
class OperatorUi
{
public:
    enum class Icon { Information, Warning, Error, Question };

    virtual ~OperatorUi() = default;

    virtual void setStatus(const QString &text) = 0;                 // status bar panel `Status`
    virtual void setProgress(int percent, const QString &text) = 0;  // gauge `Progress`
    virtual void setBusy(bool busy) = 0;                             // hourglass cursor
    virtual bool ask(const QString &question, const QString &caption, Icon icon = Icon::Question) = 0;  // Yes/No
    virtual void message(const QString &text, const QString &caption, Icon icon) = 0;                   // OK only
    virtual void flashLog(const QString &line) = 0;                  // firmware window's log `disp`
    // Continues the last log line (progress dots); a new line where there is none.
    virtual void flashLogAppend(const QString &text) { flashLog(text); }
};

// Answers every question with a fixed answer and keeps what was shown; used by
// the command-line tool and by tests.
class ScriptedOperator : public OperatorUi
{
public:
    bool answer = false;
    QString status;
    int progress = 0;
    QString progressText;
    QStringList questions;
    QStringList messages;
    QStringList log;
    QStringList statusHistory;

    void setStatus(const QString &text) override { status = text; statusHistory << text; }
    void setProgress(int percent, const QString &text) override { progress = percent; progressText = text; }
    void setBusy(bool) override {}
    bool ask(const QString &question, const QString &, Icon) override { questions << question; return answer; }
    void message(const QString &text, const QString &, Icon) override { messages << text; }
    void flashLog(const QString &line) override { log << line; }
    void flashLogAppend(const QString &text) override
    {
        if (log.isEmpty())
            log << text;
        else
            log.last() += text;
    }
};
