#include "widgetoperator.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>

namespace {
QMessageBox::Icon boxIcon(OperatorUi::Icon icon)
{
    switch (icon) {
    case OperatorUi::Icon::Information: return QMessageBox::Information;
    case OperatorUi::Icon::Warning: return QMessageBox::Warning;
    case OperatorUi::Icon::Error: return QMessageBox::Critical;
    case OperatorUi::Icon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}
}  // namespace

WidgetOperator::WidgetOperator(QWidget *owner, QLabel *status, QProgressBar *progress)
    : owner_(owner), status_(status), progress_(progress)
{
}

void WidgetOperator::setStatus(const QString &text)
{
    status_->setText(text);
}

void WidgetOperator::setProgress(int percent, const QString &text)
{
    progress_->setValue(qBound(0, percent, 100));
    progress_->setFormat(text.isEmpty() ? QStringLiteral("%p%") : text);
}

void WidgetOperator::setBusy(bool busy)
{
    if (busy) {
        ++busyDepth_;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (busyDepth_ > 0) {
        --busyDepth_;
        QApplication::restoreOverrideCursor();
    }
}

bool WidgetOperator::ask(const QString &question, const QString &caption, Icon icon)
{
    QMessageBox box(boxIcon(icon), caption, question, QMessageBox::Yes | QMessageBox::No, owner_);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void WidgetOperator::message(const QString &text, const QString &caption, Icon icon)
{
    QMessageBox box(boxIcon(icon), caption, text, QMessageBox::Ok, owner_);
    box.exec();
}

void WidgetOperator::flashLog(const QString &line)
{
    if (logSink_)
        logSink_(line);
}

void WidgetOperator::flashLogAppend(const QString &text)
{
    if (appendSink_)
        appendSink_(text);
    else
        flashLog(text);
}
