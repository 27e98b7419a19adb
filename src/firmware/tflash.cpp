#include "tflash.h"

#include "firmwareupdate.h"
#include "link/operatorui.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

namespace {

constexpr int designGaugeMaximum = 31;
constexpr int keptLogLines = 10000;

QProgressBar *makeGauge(const char *name)
{
    auto *bar = new QProgressBar;
    bar->setObjectName(QLatin1String(name));
    bar->setRange(0, designGaugeMaximum);
    bar->setValue(0);
    bar->setTextVisible(true);
    bar->setFormat(QStringLiteral("%p%"));
    bar->setAlignment(Qt::AlignCenter);
    return bar;
}

}  // namespace

// The procedures' log goes straight into this window's memo; everything else
// they show or ask goes to the program's operator interface.
class TFlash::LogOperator : public OperatorUi
{
public:
    LogOperator(TFlash &window, OperatorUi &ui) : window_(window), ui_(ui) {}

    void setStatus(const QString &text) override { ui_.setStatus(text); }
    void setProgress(int percent, const QString &text) override { ui_.setProgress(percent, text); }
    void setBusy(bool busy) override { ui_.setBusy(busy); }
    bool ask(const QString &question, const QString &caption, Icon icon) override
    {
        return ui_.ask(question, caption, icon);
    }
    void message(const QString &text, const QString &caption, Icon icon) override
    {
        ui_.message(text, caption, icon);
    }
    void flashLog(const QString &line) override { window_.appendLog(line); }
    void flashLogAppend(const QString &text) override { window_.appendToLastLine(text); }

private:
    TFlash &window_;
    OperatorUi &ui_;
};

TFlash::TFlash(Link &link, OperatorUi &ui, QWidget *parent)
    : QDialog(parent), logUi_(std::make_unique<LogOperator>(*this, ui)),
      update_(std::make_unique<FirmwareUpdate>(link, *logUi_))
{
    setObjectName(QStringLiteral("Flash"));
    setWindowTitle(QStringLiteral("Перешивка ПО"));
    setModal(true);
    resize(700, 480);

    head = new QLabel(QStringLiteral("<b>ВНИМАНИЕ!!!</b><br>"
                                     "Используйте данную функцию крайне осторожно!<br>"
                                     "Если с устройством возникли проблемы - выключите его, нажмите кнопку "
                                     "[Перешить ПО] и включите устройство."));
    head->setObjectName(QStringLiteral("head"));
    head->setTextFormat(Qt::RichText);
    head->setAlignment(Qt::AlignCenter);
    head->setWordWrap(false);
    head->setContentsMargins(0, 4, 0, 8);

    Enum = new QPushButton(QStringLiteral("Перешить ПО (ШКАФ+ИНДИКАТОР)"));
    Enum->setObjectName(QStringLiteral("Enum"));
    sbf = new QPushButton(QStringLiteral("Перешить ПО (СБОРЩИК)"));
    sbf->setObjectName(QStringLiteral("sbf"));
    for (QPushButton *b : {Enum, sbf})
        b->setAutoDefault(false);
    connect(Enum, &QPushButton::clicked, this, &TFlash::EnumClick);
    connect(sbf, &QPushButton::clicked, this, &TFlash::sbfClick);

    disp = new QPlainTextEdit;
    disp->setObjectName(QStringLiteral("disp"));
    disp->setReadOnly(true);
    disp->setMaximumBlockCount(keptLogLines);
    disp->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    disp->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    progr1 = makeGauge("progr1");
    progr = makeGauge("progr");

    closeButton = new QPushButton(QStringLiteral("Закрыть"));
    closeButton->setObjectName(QStringLiteral("close"));
    closeButton->setAutoDefault(false);
    connect(closeButton, &QPushButton::clicked, this, &TFlash::closeClick);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Enum);
    buttons->addWidget(sbf);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(closeButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(head);
    layout->addLayout(buttons);
    layout->addWidget(disp, 1);
    layout->addWidget(progr1);
    layout->addWidget(progr);
    layout->addLayout(bottom);

    update_->setGaugeMaximum = [this](FlashGauge which, int maximum) {
        gauge(which == FlashGauge::Indicator)->setMaximum(qMax(1, maximum));
    };
    update_->setGaugeValue = [this](FlashGauge which, int value) {
        QProgressBar *bar = gauge(which == FlashGauge::Indicator);
        bar->setValue(qBound(bar->minimum(), value, bar->maximum()));
    };
    update_->runningChanged = [this](bool running) { setRunning(running); };
}

TFlash::~TFlash() = default;

QProgressBar *TFlash::gauge(bool indicator) const
{
    return indicator ? progr1 : progr;
}

void TFlash::appendLog(const QString &line)
{
    disp->appendPlainText(line);
    disp->verticalScrollBar()->setValue(disp->verticalScrollBar()->maximum());
}

void TFlash::appendToLastLine(const QString &text)
{
    QTextCursor cursor(disp->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    disp->verticalScrollBar()->setValue(disp->verticalScrollBar()->maximum());
}

void TFlash::FormActivate()
{
    progr->setValue(0);
    disp->clear();
    progr->setValue(0);
    progr1->setValue(0);
}

void TFlash::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!update_->running())
        FormActivate();
}

void TFlash::setRunning(bool running)
{
    Enum->setEnabled(!running);
    sbf->setEnabled(!running);
    closeButton->setEnabled(!running);
}

void TFlash::EnumClick()
{
    update_->updateCabinets(busAddress_);
}

void TFlash::sbfClick()
{
    // A kernel that never got in step closes the window.
    if (update_->updateCollector() == FirmwareUpdate::Outcome::NotInStep)
        accept();
}

void TFlash::closeClick()
{
    if (!update_->running())
        QDialog::reject();
}

void TFlash::closeEvent(QCloseEvent *event)
{
    if (update_->running())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TFlash::reject()
{
    if (!update_->running())
        QDialog::reject();
}
