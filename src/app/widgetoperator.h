#pragma once
#include "link/operatorui.h"

#include <functional>

class QLabel;
class QProgressBar;
class QWidget;

// Shows the link's status and progress in the main window's status bar and
// asks the operator with message boxes.
class WidgetOperator : public OperatorUi
{
public:
    WidgetOperator(QWidget *owner, QLabel *status, QProgressBar *progress);

    // Where flashLog lines go (the firmware window's log).
    void setLogSink(std::function<void(const QString &)> sink, std::function<void(const QString &)> appendSink)
    {
        logSink_ = std::move(sink);
        appendSink_ = std::move(appendSink);
    }

    void setStatus(const QString &text) override;
    void setProgress(int percent, const QString &text) override;
    void setBusy(bool busy) override;
    bool ask(const QString &question, const QString &caption, Icon icon) override;
    void message(const QString &text, const QString &caption, Icon icon) override;
    void flashLog(const QString &line) override;
    void flashLogAppend(const QString &text) override;

private:
    QWidget *owner_;
    QLabel *status_;
    QProgressBar *progress_;
    int busyDepth_ = 0;
    std::function<void(const QString &)> logSink_;
    std::function<void(const QString &)> appendSink_;
};
