#include "report/daysummaryview.h"

#include "link/operatorui.h"
#include "report/reportstyle.h"
#include "report/summarycsv.h"
#include "report/summarymodel.h"
#include "report/summarypages.h"
#include "viewer/windowstyle.h"
#include "viewer/statdocument.h"

#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

using report::Tolerances;

namespace {

QDoubleSpinBox *toleranceBox(const QString &name, double low, double high, double step, int decimals,
                             const QString &suffix, QWidget *parent)
{
    auto *box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setRange(low, high);
    box->setSingleStep(step);
    box->setDecimals(decimals);
    box->setSuffix(suffix);
    // Recompute once the value is entered, not at every keystroke.
    box->setKeyboardTracking(false);
    return box;
}

QLabel *swatch(const QColor &color, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setText(QStringLiteral("<span style=\"background-color:%1\">&nbsp;&nbsp;&nbsp;&nbsp;</span>&nbsp;%2")
                       .arg(color.name(), text.toHtmlEscaped()));
    return label;
}

}  // namespace

DaySummaryView::DaySummaryView(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("DaySummary"));
    windowstyle::applyFont(this);
    setWindowTitle(QStringLiteral("Сводка за день"));

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(6, 4, 6, 4);

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("title"));
    QFont titleFont = font();
    titleFont.setPixelSize(15);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    column->addWidget(m_title);

    auto *bar = new QHBoxLayout;
    const Tolerances saved = Tolerances::load();
    bar->addWidget(new QLabel(QStringLiteral("Допуск температуры ±"), this));
    m_tTolerance = toleranceBox(QStringLiteral("temperatureTolerance"), Tolerances::minTemperature,
                                Tolerances::maxTemperature, 0.05, 2, QStringLiteral(" °C"), this);
    m_tTolerance->setValue(saved.temperature);
    bar->addWidget(m_tTolerance);
    bar->addSpacing(12);
    bar->addWidget(new QLabel(QStringLiteral("Допуск влажности ±"), this));
    m_hTolerance = toleranceBox(QStringLiteral("humidityTolerance"), Tolerances::minHumidity,
                                Tolerances::maxHumidity, 0.5, 1, QStringLiteral(" %"), this);
    m_hTolerance->setValue(saved.humidity);
    bar->addWidget(m_hTolerance);
    bar->addSpacing(12);
    auto *print = windowstyle::textButton(QStringLiteral("print"), QStringLiteral("Печать"), this);
    auto *pdf = windowstyle::textButton(QStringLiteral("savePdf"), QStringLiteral("Сохранить PDF"), this);
    auto *csv = windowstyle::textButton(QStringLiteral("saveCsv"), QStringLiteral("Сохранить CSV"), this);
    auto *close = windowstyle::textButton(QStringLiteral("close"), QStringLiteral("Закрыть"), this);
    bar->addWidget(print);
    bar->addWidget(pdf);
    bar->addWidget(csv);
    bar->addWidget(close);
    bar->addStretch(1);
    column->addLayout(bar);

    m_model = new SummaryModel(this);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("summaryTable"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // All columns on one screen of 1600 pixels.
    QFont tableFont = font();
    tableFont.setPixelSize(11);
    m_table->setFont(tableFont);
    QFont headerFont = font();
    headerFont.setPixelSize(10);
    m_table->horizontalHeader()->setFont(headerFont);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 4);
    m_table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_table->setWordWrap(false);
    column->addWidget(m_table, 1);

    auto *legend = new QHBoxLayout;
    legend->addWidget(swatch(reportstyle::outOfTolerance, QStringLiteral("выход за допуск, минут"), this));
    legend->addSpacing(12);
    legend->addWidget(swatch(reportstyle::alarm, QStringLiteral("авария: минут (случаев)"), this));
    legend->addSpacing(12);
    legend->addWidget(new QLabel(QStringLiteral("Двойной щелчок по строке открывает график шкафа "
                                                "на первом выходе за допуск"), this));
    legend->addStretch(1);
    m_warning = new QLabel(this);
    m_warning->setObjectName(QStringLiteral("warning"));
    m_warning->setStyleSheet(QStringLiteral("color: #C00000"));
    legend->addWidget(m_warning);
    column->addLayout(legend);

    connect(m_tTolerance, &QDoubleSpinBox::valueChanged, this,
            [this] { setTolerances({m_tTolerance->value(), m_hTolerance->value()}); });
    connect(m_hTolerance, &QDoubleSpinBox::valueChanged, this,
            [this] { setTolerances({m_tTolerance->value(), m_hTolerance->value()}); });
    connect(print, &QToolButton::clicked, this, &DaySummaryView::printClick);
    connect(pdf, &QToolButton::clicked, this, &DaySummaryView::pdfClick);
    connect(csv, &QToolButton::clicked, this, &DaySummaryView::csvClick);
    connect(close, &QToolButton::clicked, this, &QWidget::close);
    connect(m_table, &QTableView::doubleClicked, this, [this](const QModelIndex &i) { rowActivated(i.row()); });

    resize(1500, 820);
    m_table->setFocus();
}

DaySummaryView::~DaySummaryView() = default;

void DaySummaryView::showSummary(const StatFile &file, const QString &fileName, const QString &dateText)
{
    m_file = file;
    m_fileName = fileName;
    m_dateText = dateText;
    recompute();
}

const report::DayReport &DaySummaryView::report() const
{
    return m_model->report();
}

Tolerances DaySummaryView::tolerances() const
{
    return {m_tTolerance->value(), m_hTolerance->value()};
}

void DaySummaryView::setTolerances(const Tolerances &tolerances)
{
    const Tolerances t = Tolerances::sanitized(tolerances.temperature, tolerances.humidity);
    {
        const QSignalBlocker blockT(m_tTolerance), blockH(m_hTolerance);
        m_tTolerance->setValue(t.temperature);
        m_hTolerance->setValue(t.humidity);
    }
    t.save();
    recompute();
}

void DaySummaryView::recompute()
{
    const report::DayReport r = report::makeReport(m_file, m_fileName, m_dateText, tolerances());
    m_model->setReport(r);
    m_table->resizeColumnsToContents();
    setWindowTitle(QStringLiteral("[%1] - %2").arg(m_fileName, report::reportTitle(r)));
    m_title->setText(QStringLiteral("%1&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<span style=\"font-weight:normal\">Файл: %2</span>")
                         .arg(report::reportTitle(r).toHtmlEscaped(), m_fileName.toHtmlEscaped()));
    m_warning->setText(r.damagedRecords ? StatDocument::damageMessage(r.damagedRecords) : QString());
}

void DaySummaryView::rowActivated(int row)
{
    const QModelIndex i = m_model->index(row, 0);
    if (i.isValid())
        emit openCabinetAt(i.data(SummaryModel::CabinetRole).toInt(),
                           i.data(SummaryModel::FirstOutOfToleranceSlotRole).toInt());
}

void DaySummaryView::showMessage(const QString &text, bool warning)
{
    const QString caption = warning ? QStringLiteral("Ошибка") : QStringLiteral("Сводка за день");
    if (m_operator)
        m_operator->message(text, caption, warning ? OperatorUi::Icon::Warning : OperatorUi::Icon::Information);
    else if (warning)
        QMessageBox::warning(this, caption, text);
    else
        QMessageBox::information(this, caption, text);
}

bool DaySummaryView::saveCsv(const QString &path)
{
    QString message;
    if (report::writeCsv(report(), path, &message))
        return true;
    showMessage(message, true);
    return false;
}

bool DaySummaryView::savePdf(const QString &path)
{
    QString message;
    if (report::writePdf(report(), path, &message))
        return true;
    showMessage(message, true);
    return false;
}

bool DaySummaryView::print(QPrinter *printer)
{
    if (report::paintReport(*printer, report()))
        return true;
    showMessage(QStringLiteral("Не удалось напечатать сводку"), true);
    return false;
}

QString DaySummaryView::suggestedName(const char *extension) const
{
    return QStringLiteral("%1_svodka.%2").arg(QFileInfo(m_fileName).completeBaseName(), QLatin1String(extension));
}

void DaySummaryView::printClick()
{
    QPrinter printer(QPrinter::HighResolution);
    report::setUpPage(printer);
    printer.setDocName(report::reportTitle(report()));
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Печать сводки"));
    if (dialog.exec() == QDialog::Accepted)
        print(&printer);
}

void DaySummaryView::pdfClick()
{
    const QString out = QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить PDF"), suggestedName("pdf"),
                                                     QStringLiteral("PDF (*.pdf)"));
    if (!out.isEmpty())
        savePdf(out);
}

void DaySummaryView::csvClick()
{
    const QString out = QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить CSV"), suggestedName("csv"),
                                                     QStringLiteral("CSV (*.csv)"));
    if (!out.isEmpty())
        saveCsv(out);
}
