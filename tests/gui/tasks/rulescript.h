#pragma once
#include <QCalendarWidget>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <functional>

#include "tasks/taddprf.h"
#include "tasks/taddrule.h"
#include "tasks/trackedit.h"
#include "tasks/trule.h"

// A data folder in a temporary place.
struct DataFixture
{
    QTemporaryDir dir;
    DataFixture() { QDir(dir.path()).mkdir(QStringLiteral("data")); }
    QString data() const { return dir.filePath(QStringLiteral("data")); }
    QString path(const QString &name) const { return QDir(data()).filePath(name); }
    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the fixture %s", qPrintable(name));
    }
    QByteArray read(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
};

// Answers the editor's input boxes and dialogs in turn, as a person would.
struct DialogScript
{
    using Run = std::function<int(QDialog &)>;
    QStringList answers;  // input box answers, in order; none left: cancelled
    QList<Run> runs;      // dialogs, in order; none left: cancelled
    QStringList captions;

    void attach(TRule &rule)
    {
        rule.dialogs.inputText = [this](const QString &caption, const QString &, QString &text) {
            captions << caption;
            if (answers.isEmpty())
                return false;
            text = answers.takeFirst();
            return true;
        };
        rule.dialogs.exec = [this](QDialog &dialog) {
            captions << dialog.windowTitle();
            return runs.isEmpty() ? int(QDialog::Rejected) : runs.takeFirst()(dialog);
        };
    }

    static Run stage(int days, int hours, const QString &temperature, const QString &humidity)
    {
        return [=](QDialog &dialog) {
            auto &stage = dynamic_cast<TAddPrf &>(dialog);
            stage.setResult(QDialog::Rejected);
            stage.d->setValue(days);
            stage.h->setValue(hours);
            stage.t->setText(temperature);
            stage.hum->setText(humidity);
            stage.okButton->click();
            return stage.result();
        };
    }

    // profileRow -1 leaves the list alone (it is hidden when a start changes).
    static Run start(int profileRow, QDate date, int hour)
    {
        return [=](QDialog &dialog) {
            auto &add = dynamic_cast<TaddRule &>(dialog);
            add.setResult(QDialog::Rejected);
            add.FormActivate();
            if (profileRow >= 0)
                add.prf->setCurrentRow(profileRow);
            add.d->setSelectedDate(date);
            add.h->setValue(hour);
            add.ok->click();
            return add.result();
        };
    }
};
