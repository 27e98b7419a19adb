#include "servicepage.h"

#include "link/link.h"
#include "sensorfile.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QPushButton *button(const QString &caption, const char *name)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(QLatin1String(name));
    return b;
}

QLineEdit *readout(const char *name, int width)
{
    auto *e = new QLineEdit;
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    e->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    e->setMinimumWidth(width);
    return e;
}

}  // namespace

ServicePage::ServicePage(Link &link, OperatorUi &ui, QWidget *parent)
    : QWidget(parent), link_(link), ui_(ui), service_(link, ui), monitor_(link), filePath_(sensorfile::defaultPath())
{
    setObjectName(QStringLiteral("ServicePage"));
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(buildParameters());
    auto *right = new QVBoxLayout;
    right->addWidget(buildMeasurements());
    right->addWidget(buildTerminal(), 1);
    layout->addLayout(right, 1);

    connect(&link, &Link::terminalLine, Terminal, &QPlainTextEdit::appendPlainText);
    connect(&monitor_, &MeasurementMonitor::frameShown, this, &ServicePage::showFrame);
}

QWidget *ServicePage::buildParameters()
{
    auto *panel = new QWidget;
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);

    v = new QTableWidget(SensorRecord::rowCount, 2);
    v->setObjectName(QStringLiteral("v"));
    v->setHorizontalHeaderLabels({QStringLiteral("Параметр"), QStringLiteral("Значение")});
    v->verticalHeader()->hide();
    v->verticalHeader()->setDefaultSectionSize(v->fontMetrics().height() + 6);
    v->horizontalHeader()->setStretchLastSection(true);
    // The list's design widths, widened where this font needs more room
    // for the longest name or value.
    const QFontMetrics metrics = v->fontMetrics();
    int nameWidth = 102;
    for (const QString &name : sensorRowNames())
        nameWidth = qMax(nameWidth, metrics.horizontalAdvance(name) + 12);
    const int valueWidth = qMax(114, metrics.horizontalAdvance(QStringLiteral("-3,402823e+38")) + 12);
    v->setColumnWidth(0, nameWidth);
    v->setColumnWidth(1, valueWidth);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QStringList names = sensorRowNames();
    for (int row = 0; row < SensorRecord::rowCount; ++row) {
        auto *name = new QTableWidgetItem(names[row]);
        name->setFlags(Qt::ItemIsEnabled);
        v->setItem(row, 0, name);
        v->setItem(row, 1, new QTableWidgetItem);
    }
    setRows(initialSensorRows());
    // All sixteen rows in sight: the list is short and maps to the record.
    const int height = v->horizontalHeader()->sizeHint().height()
                       + SensorRecord::rowCount * v->verticalHeader()->defaultSectionSize() + 2 * v->frameWidth();
    v->setFixedHeight(height);
    v->setFixedWidth(nameWidth + valueWidth + 2 * v->frameWidth());
    v->setCurrentCell(-1, -1);
    column->addWidget(v);

    readD = button(QStringLiteral("Считатать"), "readD");
    writeD = button(QStringLiteral("Записать"), "writeD");
    Button12 = button(QStringLiteral("В файл"), "Button12");
    Button5 = button(QStringLiteral("Из файла"), "Button5");
    auto *buttons = new QGridLayout;
    buttons->addWidget(readD, 0, 0);
    buttons->addWidget(writeD, 0, 1);
    buttons->addWidget(Button12, 1, 0);
    buttons->addWidget(Button5, 1, 1);
    column->addLayout(buttons);

    CheckBox1 = new QCheckBox(QStringLiteral("Использовать адресацию"));
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    num = new QSpinBox;
    num->setObjectName(QStringLiteral("num"));
    num->setRange(1, 63);
    num->setValue(63);
    num->setEnabled(false);
    auto *addressing = new QHBoxLayout;
    addressing->addWidget(CheckBox1);
    addressing->addWidget(num);
    addressing->addStretch(1);
    column->addLayout(addressing);

    firmwareSlot_ = new QWidget;
    firmwareSlot_->setObjectName(QStringLiteral("firmwareSlot"));
    auto *slotLayout = new QHBoxLayout(firmwareSlot_);
    slotLayout->setContentsMargins(0, 0, 0, 0);
    column->addWidget(firmwareSlot_);

    Button14 = button(QStringLiteral("Порт"), "Button14");
    auto *portRow = new QHBoxLayout;
    portRow->addWidget(Button14);
    portRow->addStretch(1);
    column->addLayout(portRow);
    column->addStretch(1);

    connect(readD, &QPushButton::clicked, this, &ServicePage::readDClick);
    connect(writeD, &QPushButton::clicked, this, &ServicePage::writeDClick);
    connect(Button12, &QPushButton::clicked, this, &ServicePage::Button12Click);
    connect(Button5, &QPushButton::clicked, this, &ServicePage::Button5Click);
    connect(CheckBox1, &QCheckBox::clicked, this, &ServicePage::CheckBox1Click);
    connect(Button14, &QPushButton::clicked, this, &ServicePage::portRequested);
    portControls_ = {readD, writeD, Button14, firmwareSlot_};
    return panel;
}

QWidget *ServicePage::buildMeasurements()
{
    tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("tabs"));
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);

    extt = readout("extt", 80);
    Edit1 = readout("Edit1", 110);
    hum = readout("hum", 80);
    Edit2 = readout("Edit2", 110);
    Edit4 = readout("Edit4", 80);
    Button4 = button(QStringLiteral("0"), "Button4");
    Button4->setMaximumWidth(40);
    intt = readout("intt", 80);
    Edit3 = readout("Edit3", 110);
    wr = new QCheckBox(QStringLiteral("Записывать в файл"));
    wr->setObjectName(QStringLiteral("wr"));

    grid->addWidget(extt, 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(hum, 1, 0);
    grid->addWidget(Edit2, 1, 1);
    grid->addWidget(Edit4, 1, 2);
    grid->addWidget(Button4, 1, 3);
    grid->addWidget(intt, 2, 0);
    grid->addWidget(Edit3, 2, 1);
    grid->addWidget(wr, 2, 2, 1, 2);
    grid->setColumnStretch(4, 1);

    mes = button(QStringLiteral("Включить режим измерений"), "mes");
    Button7 = button(QStringLiteral("Выключить режим измерений"), "Button7");
    Button1 = button(QStringLiteral("Сброс датчика"), "Button1");
    auto *modes = new QHBoxLayout;
    modes->addWidget(mes);
    modes->addWidget(Button7);
    modes->addWidget(Button1);
    modes->addStretch(1);
    grid->addLayout(modes, 3, 0, 1, 5);
    grid->setRowStretch(4, 1);

    tabs->addTab(page, QStringLiteral("Измерения"));

    connect(Button4, &QPushButton::clicked, this, &ServicePage::Button4Click);
    connect(wr, &QCheckBox::toggled, &link_, &Link::setRecordingFrames);
    connect(mes, &QPushButton::clicked, this, &ServicePage::mesClick);
    connect(Button7, &QPushButton::clicked, this, &ServicePage::Button7Click);
    connect(Button1, &QPushButton::clicked, this, &ServicePage::Button1Click);
    portControls_ << mes << Button7 << Button1;
    return tabs;
}

QWidget *ServicePage::buildTerminal()
{
    auto *panel = new QWidget;
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    Terminal = new QPlainTextEdit;
    Terminal->setObjectName(QStringLiteral("Terminal"));
    Terminal->setReadOnly(true);
    Terminal->setMaximumBlockCount(terminalLines);
    Terminal->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Terminal->setLineWrapMode(QPlainTextEdit::NoWrap);
    column->addWidget(Terminal, 1);

    Button8 = button(QStringLiteral("Поиск..."), "Button8");
    Button9 = button(QStringLiteral("Опрос..."), "Button9");
    auto *row = new QHBoxLayout;
    row->addWidget(Button8);
    row->addWidget(Button9);
    row->addStretch(1);
    column->addLayout(row);

    connect(Button8, &QPushButton::clicked, this, &ServicePage::dirsRefresh);
    connect(Button9, &QPushButton::clicked, this, &ServicePage::Button9Click);
    portControls_ << Button8 << Button9;
    return panel;
}

int ServicePage::busAddress() const
{
    return num->value();
}

QStringList ServicePage::rows() const
{
    QStringList texts;
    for (int row = 0; row < SensorRecord::rowCount; ++row)
        texts << v->item(row, 1)->text();
    return texts;
}

void ServicePage::setRows(const QStringList &rows)
{
    for (int row = 0; row < SensorRecord::rowCount && row < rows.size(); ++row)
        v->item(row, 1)->setText(rows[row]);
}

void ServicePage::setExchanging(bool on)
{
    for (QWidget *w : std::as_const(portControls_))
        w->setEnabled(!on);
}

void ServicePage::readDClick()
{
    setExchanging(true);
    const SensorService::ReadResult read = service_.readRecord(busAddress());
    if (read.outcome == SensorService::ReadOutcome::Good || read.outcome == SensorService::ReadOutcome::BadChecksum) {
        QStringList texts = rows();
        showRecord(read.record, texts);
        setRows(texts);
    }
    setExchanging(false);
}

void ServicePage::writeDClick()
{
    setExchanging(true);
    service_.writeRecord(busAddress(), rows());
    setExchanging(false);
}

void ServicePage::Button12Click()
{
    sensorfile::save(filePath_, rows(), ui_);
}

void ServicePage::Button5Click()
{
    QStringList texts = rows();
    if (sensorfile::load(filePath_, texts, ui_))
        setRows(texts);
}

void ServicePage::CheckBox1Click()
{
    if (num->isEnabled())
        rememberedAddress_ = num->value();
    const bool ticked = CheckBox1->isChecked();
    num->setEnabled(ticked);
    num->setValue(ticked ? rememberedAddress_ : SensorService::broadcastAddress);
}

void ServicePage::mesClick()
{
    service_.startMeasurement(busAddress());
}

void ServicePage::Button7Click()
{
    service_.stopMeasurement();
}

void ServicePage::Button4Click()
{
    monitor_.restartAverage();
}

void ServicePage::Button1Click()
{
    service_.resetSensor(busAddress());
}

void ServicePage::dirsRefresh()
{
    Terminal->clear();
    service_.search();
}

void ServicePage::Button9Click()
{
    service_.poll();
}

void ServicePage::showFrame(const FrameTexts &t)
{
    extt->setText(t.extt);
    Edit1->setText(t.Edit1);
    hum->setText(t.hum);
    Edit2->setText(t.Edit2);
    Edit4->setText(t.Edit4);
    intt->setText(t.intt);
    Edit3->setText(t.Edit3);
}
