#pragma once
#include <QMessageBox>
#include <QPushButton>

#include "link/operatorui.h"

// A plain message-box operator for looking at the task editor by hand; the
// program's own one lives with the main window.
class MessageBoxOperator : public OperatorUi
{
public:
    void setStatus(const QString &) override {}
    void setProgress(int, const QString &) override {}
    void setBusy(bool) override {}
    bool ask(const QString &question, const QString &caption, Icon icon) override
    {
        QMessageBox box(iconOf(icon), caption, question, QMessageBox::Yes | QMessageBox::No);
        nameButtons(box);
        return box.exec() == QMessageBox::Yes;
    }
    void message(const QString &text, const QString &caption, Icon icon) override
    {
        QMessageBox box(iconOf(icon), caption, text, QMessageBox::Ok);
        box.exec();
    }
    void flashLog(const QString &) override {}

    static void nameButtons(QMessageBox &box)
    {
        if (auto *yes = box.button(QMessageBox::Yes))
            yes->setText(QStringLiteral("Да"));
        if (auto *no = box.button(QMessageBox::No))
            no->setText(QStringLiteral("Нет"));
    }

    static QMessageBox::Icon iconOf(Icon icon)
    {
        switch (icon) {
        case Icon::Information: return QMessageBox::Information;
        case Icon::Warning: return QMessageBox::Warning;
        case Icon::Error: return QMessageBox::Critical;
        case Icon::Question: return QMessageBox::Question;
        }
        return QMessageBox::NoIcon;
    }
};
