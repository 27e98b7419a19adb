#include "tflash.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

TFlash::TFlash(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Обновление программного обеспечения"));
    resize(640, 420);
    disp = new QPlainTextEdit;
    disp->setObjectName(QStringLiteral("disp"));
    disp->setReadOnly(true);
    disp->setMaximumBlockCount(10000);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(disp);
}

void TFlash::appendLog(const QString &line)
{
    disp->appendPlainText(line);
}
