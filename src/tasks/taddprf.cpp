#include "taddprf.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/cp1251.h"
#include "link/operatorui.h"
#include "tasks/stagecheck.h"
#include "tasks/trackedit.h"

TAddPrf::TAddPrf(OperatorUi &ui, QWidget *parent)
    : QDialog(parent), m_ui(ui)
{
    setWindowTitle(QStringLiteral("Этап инкубации"));
    d = new TrackEdit(0, 100, this);
    h = new TrackEdit(0, 23, this);
    t = new QLineEdit(QStringLiteral("37,0"), this);
    hum = new QLineEdit(QStringLiteral("20"), this);
    okButton = new QPushButton(QStringLiteral("OK"), this);
    cancelButton = new QPushButton(QStringLiteral("Отмена"), this);
    okButton->setDefault(true);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Дней:"), d);
    form->addRow(QStringLiteral("Часов:"), h);
    form->addRow(QStringLiteral("Температура, °C:"), t);
    form->addRow(QStringLiteral("Влажность, %:"), hum);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setMinimumWidth(360);

    connect(t, &QLineEdit::textChanged, this, &TAddPrf::tChange);
    connect(okButton, &QPushButton::clicked, this, &TAddPrf::spSkinButton3Click);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TAddPrf::preset(const TLineFields &f)
{
    d->setValue(f.Days);
    h->setValue(f.Hours);
    t->setText(cp1251::decode(formatTemperature(f.Temperature)));
    hum->setText(QString::number(f.Humidity));
}

void TAddPrf::takeInto(TLineFields &f) const
{
    f.Days = d->value();
    f.Hours = h->value();
    f.Temperature = m_temperature;
    f.Humidity = m_humidity;
}

void TAddPrf::spSkinButton3Click()
{
    const StageCheck check = checkStage({d->value(), h->value(), t->text(), hum->text()});
    if (!check.ok()) {
        m_ui.message(check.error, QStringLiteral("Ошибка"), OperatorUi::Icon::Error);
        return;
    }
    m_temperature = check.temperature;
    m_humidity = check.humidity;
    accept();
}

void TAddPrf::tChange()
{
    const QString shown = withDecimalComma(t->text());
    if (shown == t->text())
        return;
    const int caret = t->cursorPosition();
    t->setText(shown);
    t->setCursorPosition(caret);
}
