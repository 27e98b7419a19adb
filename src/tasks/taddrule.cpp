#include "taddrule.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include "tasks/trackedit.h"

TaddRule::TaddRule(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Добавить профиль в задание"));
    d = new QCalendarWidget(this);
    d->setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    d->setFirstDayOfWeek(Qt::Monday);
    d->setGridVisible(true);
    d->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    d->setSelectedDate(QDate::currentDate());
    h = new TrackEdit(0, 23, this);
    prfl = new QLabel(QStringLiteral("Профиль"), this);
    prf = new QListWidget(this);
    prf->setSelectionMode(QAbstractItemView::SingleSelection);
    ok = new QPushButton(QStringLiteral("OK"), this);
    cancel = new QPushButton(QStringLiteral("Отмена"), this);
    ok->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("День начала"), this));
    layout->addWidget(d);
    layout->addWidget(new QLabel(QStringLiteral("Час начала"), this));
    layout->addWidget(h);
    layout->addWidget(prfl);
    layout->addWidget(prf, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(prf, &QListWidget::itemSelectionChanged, this, &TaddRule::prfClick);
    connect(ok, &QPushButton::clicked, this, &TaddRule::okClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    updateOk();
}

void TaddRule::setProfiles(const QStringList &headers)
{
    prf->clear();
    prf->addItems(headers);
    updateOk();
}

int TaddRule::selectedProfile() const
{
    const auto items = prf->selectedItems();
    return items.isEmpty() ? -1 : prf->row(items.first());
}

void TaddRule::setProfileListShown(bool shown)
{
    prf->setVisible(shown);
    prfl->setVisible(shown);
    updateOk();
}

void TaddRule::preset(QDate date, int hour)
{
    if (date.isValid())
        d->setSelectedDate(date);
    h->setValue(hour);
}

QDate TaddRule::startDate() const
{
    return d->selectedDate();
}

int TaddRule::startHour() const
{
    return h->value();
}

void TaddRule::prfClick()
{
    updateOk();
}

void TaddRule::FormActivate()
{
    updateOk();
}

void TaddRule::okClick()
{
    // The calendar gives a date without a time of day already.
    if (ok->isEnabled())
        accept();
}

void TaddRule::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TaddRule::updateOk()
{
    ok->setEnabled(prf->isHidden() || selectedProfile() >= 0);
}
