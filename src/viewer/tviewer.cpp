#include "viewer/tviewer.h"

#include "link/operatorui.h"
#include "report/daysummaryview.h"
#include "viewer/chartarea.h"
#include "viewer/chartstyle.h"
#include "viewer/chartwidgets.h"
#include "viewer/readout.h"
#include "viewer/rollpanel.h"
#include "viewer/statexport.h"
#include "viewer/statname.h"
#include "viewer/viewerlayout.h"
#include "viewer/windowstyle.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

using namespace viewerlayout;

namespace {

QToolButton *toolButton(const QString &name, const QString &text, QWidget *parent, bool toggle = false)
{
    auto *b = windowstyle::textButton(name, text, parent);
    b->setCheckable(toggle);
    b->setChecked(toggle);
    return b;
}

QFrame *divider(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

TViewer::TViewer(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Viewer"));
    windowstyle::applyFont(this);
    setWindowTitle(QStringLiteral("Статистика"));
    buildWindow();

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect g = screen->geometry();
        move(g.topLeft());
        resize(g.width(), std::max(400, g.height() - 80));
    }

    m_cur = new QTimer(this);
    m_cur->setInterval(300);
    connect(m_cur, &QTimer::timeout, this, &TViewer::curTimer);
    m_cur->start();
    m_rescale = new QTimer(this);
    m_rescale->setInterval(200);
    connect(m_rescale, &QTimer::timeout, this, &TViewer::Timer1Timer);
    m_rescale->start();
}

TViewer::~TViewer() = default;

QWidget *TViewer::buildToolBar()
{
    auto *bar = new QWidget(this);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 2, 4, 2);

    m_zoom = new QSlider(Qt::Horizontal, bar);
    m_zoom->setObjectName(QStringLiteral("zoom"));
    m_zoom->setFixedWidth(220);
    m_zoom->setRange(1, 8640);
    row->addWidget(m_zoom);

    m_Z = toolButton(QStringLiteral("Z"), QStringLiteral("Показывать задание"), bar, true);
    m_AA = toolButton(QStringLiteral("AA"), QStringLiteral("Автомасштаб"), bar, true);
    m_prev = toolButton(QStringLiteral("prev"), QStringLiteral("Предыдущий файл"), bar);
    m_next = toolButton(QStringLiteral("next"), QStringLiteral("Следующий файл"), bar);
    auto *close = toolButton(QStringLiteral("close"), QStringLiteral("Закрыть"), bar);
    auto *csv = toolButton(QStringLiteral("exportCsv"), QStringLiteral("Сохранить CSV"), bar);
    auto *png = toolButton(QStringLiteral("exportPng"), QStringLiteral("Сохранить рисунок"), bar);
    auto *summary = toolButton(QStringLiteral("summary"), QStringLiteral("Сводка за день"), bar);
    m_prev->setEnabled(false);
    m_next->setEnabled(false);
    row->addWidget(m_Z);
    row->addWidget(m_AA);
    row->addWidget(divider(bar));
    row->addWidget(m_prev);
    row->addWidget(m_next);
    row->addWidget(divider(bar));
    row->addWidget(close);
    row->addWidget(divider(bar));
    row->addWidget(csv);
    row->addWidget(png);
    row->addWidget(divider(bar));
    row->addWidget(summary);
    row->addStretch(1);

    connect(m_zoom, &QSlider::valueChanged, this, &TViewer::zoomChange);
    connect(m_Z, &QToolButton::toggled, this, &TViewer::ZClick);
    connect(m_AA, &QToolButton::toggled, this, &TViewer::ZClick);
    connect(m_prev, &QToolButton::clicked, this, &TViewer::prevClick);
    connect(m_next, &QToolButton::clicked, this, &TViewer::nextClick);
    connect(close, &QToolButton::clicked, this, &QWidget::close);
    connect(csv, &QToolButton::clicked, this, &TViewer::exportCsvClick);
    connect(png, &QToolButton::clicked, this, &TViewer::exportPngClick);
    connect(summary, &QToolButton::clicked, this, &TViewer::summaryClick);
    return bar;
}

void TViewer::buildWindow()
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildToolBar());

    auto *middle = new QHBoxLayout;
    middle->setSpacing(2);
    column->addLayout(middle, 1);

    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->setShape(QTabBar::RoundedWest);
    m_tabs->setExpanding(false);
    m_tabs->setUsesScrollButtons(true);
    m_tabs->setDrawBase(false);
    // A fixed strip, so that adding tabs does not narrow the charts.
    m_tabs->addTab(QStringLiteral("63"));
    m_tabs->setFixedWidth(m_tabs->sizeHint().width());
    m_tabs->removeTab(0);
    // Sixty-three cabinets make a column of tabs taller than any screen: the
    // strip takes the window's height and scrolls instead of stretching it.
    m_tabs->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    connect(m_tabs, &QTabBar::currentChanged, this, &TViewer::tabsChange);
    middle->addWidget(m_tabs);

    m_area = new ChartArea(this);
    m_ruler = new PaintBox([this](QPainter &p) {
        p.fillRect(m_ruler->rect(), palette().color(QPalette::Window));
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(m_ruler->rect().adjusted(0, 0, -1, -1));
        p.setPen(chartstyle::text);
        if (m_doc.loaded())
            paintTimeRuler(p, m_ruler->size(), m_nav.map(), chartLeft);
    });
    m_ruler->setObjectName(QStringLiteral("GTX"));
    auto axisPainter = [this](ValueKind k, PaintBox **box) {
        return [this, k, box](QPainter &p) {
            p.fillRect((*box)->rect(), palette().color(QPalette::Window));
            if (!m_doc.loaded())
                return;
            // The labels follow the axis of the chart's latest redraw.
            picture(k == ValueKind::Temperature ? ChartPictures::Temperature : ChartPictures::Humidity);
            paintValueAxis(p, (*box)->height(), k, m_pictures.scale(k).axis);
        };
    };
    m_ty = new PaintBox(axisPainter(ValueKind::Temperature, &m_ty));
    m_hy = new PaintBox(axisPainter(ValueKind::Humidity, &m_hy));
    m_ty->setObjectName(QStringLiteral("ty"));
    m_hy->setObjectName(QStringLiteral("hy"));
    m_temp = new ChartView([this]() -> const QImage & { return picture(ChartPictures::Temperature); });
    m_hum = new ChartView([this]() -> const QImage & { return picture(ChartPictures::Humidity); });
    m_st = new ChartView([this]() -> const QImage & { return picture(ChartPictures::State); });
    m_temp->setObjectName(QStringLiteral("temp"));
    m_hum->setObjectName(QStringLiteral("hum"));
    m_st->setObjectName(QStringLiteral("st"));
    m_area->setWidgets(m_ruler, m_ty, m_temp, m_hy, m_hum, m_st);
    middle->addWidget(m_area, 1);
    for (ChartView *chart : {m_temp, m_hum, m_st}) {
        connect(chart, &ChartView::pressed, this, &TViewer::tempMouseDown);
        connect(chart, &ChartView::dragged, this, &TViewer::tempMouseMove);
    }
    connect(m_area, &ChartArea::layoutChanged, this, &TViewer::FormResize);

    m_scroll = m_area->scrollBar();
    m_scroll->setSingleStep(1);
    connect(m_scroll, &QScrollBar::valueChanged, this, &TViewer::scrollChange);
    // A click in the track moves 100 slots, whatever the page size.
    connect(m_scroll, &QScrollBar::actionTriggered, this, [this](int action) {
        if (action == QAbstractSlider::SliderPageStepAdd)
            m_scroll->setSliderPosition(std::min(m_scroll->value() + 100, m_scroll->maximum()));
        else if (action == QAbstractSlider::SliderPageStepSub)
            m_scroll->setSliderPosition(std::max(m_scroll->value() - 100, 0));
    });

    m_side = new QWidget(this);
    m_side->setFixedWidth(sidePanelWidth);
    m_side->installEventFilter(this);
    m_cursorPanel = new PaintBox([this](QPainter &p) {
        paintReadout(p, readoutLines(m_doc.series(), m_nav.cursorSlot(), m_doc.dateText(), m_AA->isChecked()));
    }, m_side);
    m_cursorPanel->setObjectName(QStringLiteral("cursorPanel"));
    m_sLabel = new PaintBox([this](QPainter &p) { paintStateLegend(p, m_st->height()); }, m_side);
    m_sLabel->setObjectName(QStringLiteral("sLabel"));
    middle->addWidget(m_side);

    m_status = new QStatusBar(this);
    m_progress = new QProgressBar(m_status);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setMaximumWidth(200);
    m_progress->setTextVisible(false);
    m_progress->hide();
    m_status->addPermanentWidget(m_progress);
    column->addWidget(m_status);
}

void TViewer::setCacheFolder(const QString &folder)
{
    m_cache.setFolder(folder);
    m_cache.refresh();
    m_selected = -1;
}

void TViewer::openFile(const QString &cacheFileName, int requestedCabinet)
{
    if (requestedCabinet)
        m_doc.setRequestedCabinet(requestedCabinet);
    m_cache.refresh();
    m_selected = m_cache.indexOf(cacheFileName);
    m_wantedName = cacheFileName.toUpper();
    show();
    raise();
    activateWindow();
    loadClick();
}

const QImage &TViewer::picture(ChartPictures::Chart c)
{
    return m_pictures.picture(c, m_doc.loaded(), m_doc.series(), chartOptions());
}

ChartOptions TViewer::chartOptions() const
{
    ChartOptions o;
    o.map = m_nav.map();
    o.showTask = m_Z->isChecked();
    o.autoScale = m_AA->isChecked();
    return o;
}

void TViewer::showMessage(const QString &text, const QString &caption, bool warning)
{
    if (m_operator)
        m_operator->message(text, caption, warning ? OperatorUi::Icon::Warning : OperatorUi::Icon::Information);
    else if (warning)
        QMessageBox::warning(this, caption, text);
    else
        QMessageBox::information(this, caption, text);
}

bool TViewer::loadClick()
{
    const QString name = m_selected >= 0 ? m_cache.caption(m_selected) : m_wantedName;
    const QString path = m_selected >= 0 ? m_cache.diskPath(m_selected) : QString();
    m_progress->setValue(0);
    m_progress->show();
    const StatDocument::LoadResult r = m_doc.load(name, path);
    m_progress->hide();
    m_status->clearMessage();

    if (r.status == StatDocument::LoadStatus::BadName) {
        repaintCharts();
        showMessage(r.message, QStringLiteral("Ошибка"), true);
        return false;
    }
    auto statNeighbour = [this](int index) { return statname::isStatFileName(m_cache.caption(index)); };
    m_next->setEnabled(m_selected >= 1 && statNeighbour(m_selected - 1));
    m_prev->setEnabled(m_selected >= 0 && statNeighbour(m_selected + 1));
    setWindowTitle(m_doc.caption());
    if (r.status == StatDocument::LoadStatus::OpenFailed) {
        repaintCharts();
        showMessage(r.message, QStringLiteral("Ошибка"), true);
        return false;
    }

    fillTabs();
    m_nav.resetForLoad(m_area->chartWidth());
    afterBuild();
    if (m_summary && m_summary->isVisible())
        m_summary->showSummary(m_doc.file(), m_doc.fileName(), m_doc.dateText());
    if (r.damagedRecords) {
        m_status->showMessage(r.message);
        showMessage(r.message, QStringLiteral("Предупреждение"), true);
    }
    return true;
}

void TViewer::fillTabs()
{
    const QSignalBlocker block(m_tabs);
    while (m_tabs->count())
        m_tabs->removeTab(0);
    for (int cabinet : m_doc.tabs())
        m_tabs->addTab(QString::number(cabinet));
    if (m_doc.currentTab() >= 0)
        m_tabs->setCurrentIndex(m_doc.currentTab());
}

void TViewer::tabsChange()
{
    m_doc.setCurrentTab(m_tabs->currentIndex());
    afterBuild();
}

void TViewer::afterBuild()
{
    m_nav.afterBuild();
    if (m_doc.loaded())
        m_pictures.useDayRanges(m_doc.series());
    m_pictures.invalidateAll();
    syncNavigationWidgets();
    repaintCharts();
    m_cursorPanel->update();
}

void TViewer::syncNavigationWidgets()
{
    {
        const QSignalBlocker block(m_zoom);
        m_zoom->setRange(m_nav.zoomMinimum(), m_nav.zoomMaximum());
        m_zoom->setValue(m_nav.zoom());
        m_zoom->setPageStep(std::max(1, m_nav.chartWidth() / 4));
    }
    const QSignalBlocker block(m_scroll);
    m_scroll->setRange(0, m_nav.scrollPositionMaximum());
    m_scroll->setPageStep(m_nav.pageSize());
    m_scroll->setValue(m_nav.scroll());
}

void TViewer::repaintCharts()
{
    for (QWidget *w : {static_cast<QWidget *>(m_ruler), static_cast<QWidget *>(m_temp),
                       static_cast<QWidget *>(m_ty), static_cast<QWidget *>(m_hum),
                       static_cast<QWidget *>(m_hy), static_cast<QWidget *>(m_st)})
        w->update();
}

void TViewer::viewMoved()
{
    m_pictures.invalidateAll();
    syncNavigationWidgets();
    repaintCharts();
}

void TViewer::zoomChange(int value)
{
    if (m_nav.setZoom(value))
        viewMoved();
}

void TViewer::scrollChange(int value)
{
    if (m_nav.setScroll(value))
        viewMoved();
}

void TViewer::wheelEvent(QWheelEvent *e)
{
    if (m_nav.wheel(e->angleDelta().y(), e->modifiers() & Qt::ControlModifier))
        viewMoved();
    e->ignore();
}

void TViewer::ZClick()
{
    m_pictures.invalidateValueCharts();
    for (QWidget *w : {static_cast<QWidget *>(m_temp), static_cast<QWidget *>(m_ty),
                       static_cast<QWidget *>(m_hum), static_cast<QWidget *>(m_hy),
                       static_cast<QWidget *>(m_st)})
        w->update();
}

void TViewer::tempMouseDown(int x)
{
    m_nav.placeCursor(x);
    curTimer();
    m_cursorPanel->update();
}

void TViewer::tempMouseMove(int x)
{
    if (x < m_temp->width())
        tempMouseDown(x);
}

void TViewer::curTimer()
{
    m_cursorPhase = !m_cursorPhase;
    const int column = m_cursorPhase ? m_nav.cursorColumn() : -1;
    for (ChartView *chart : {m_temp, m_hum, m_st})
        chart->setCursorColumn(column);
}

void TViewer::Timer1Timer()
{
    const int changed = m_pictures.rescale(m_doc.loaded());
    if (changed & (1 << ChartPictures::Temperature)) {
        m_temp->update();
        m_ty->update();
    }
    if (changed & (1 << ChartPictures::Humidity)) {
        m_hum->update();
        m_hy->update();
    }
}

void TViewer::FormResize()
{
    m_nav.resize(m_area->chartWidth());
    m_pictures.resize(ChartPictures::Temperature, m_area->chartSize(m_area->temperaturePanel()));
    m_pictures.resize(ChartPictures::Humidity, m_area->chartSize(m_area->humidityPanel()));
    m_pictures.resize(ChartPictures::State, m_area->chartSize(m_area->statePanel()));
    syncNavigationWidgets();
    layoutSidePanel();
    repaintCharts();
}

void TViewer::layoutSidePanel()
{
    // The legend starts level with the state chart, so that its rows match.
    const QRect side = m_side->rect();
    const int stTop = m_side->mapFromGlobal(m_area->statePanel()->mapToGlobal(QPoint(0, captionHeight))).y();
    const int legendTop = std::clamp(stTop, 0, side.height());
    m_cursorPanel->setGeometry(0, 0, side.width(), legendTop);
    m_sLabel->setGeometry(0, legendTop, side.width(), side.height() - legendTop);
    m_sLabel->update();
}

bool TViewer::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_side && e->type() == QEvent::Resize)
        layoutSidePanel();
    return QWidget::eventFilter(watched, e);
}

void TViewer::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    FormResize();
}

void TViewer::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        FormResize();
}

void TViewer::exportCsvClick()
{
    if (!m_doc.loaded()) {
        showMessage(QStringLiteral("Нет загруженных данных"), QStringLiteral("Ошибка"), true);
        return;
    }
    const QString suggested = QStringLiteral("%1_%2.csv").arg(m_doc.fileName()).arg(m_doc.currentCabinet());
    const QString out = QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить CSV"), suggested,
                                                     QStringLiteral("CSV (*.csv)"));
    QString message;
    if (!out.isEmpty() && !statexport::writeCsv(m_doc.series(), out, &message))
        showMessage(message, QStringLiteral("Ошибка"), true);
}

void TViewer::exportPngClick()
{
    if (!m_doc.loaded()) {
        showMessage(QStringLiteral("Нет загруженных данных"), QStringLiteral("Ошибка"), true);
        return;
    }
    const QString suggested = QStringLiteral("%1_%2.png").arg(m_doc.fileName()).arg(m_doc.currentCabinet());
    const QString out = QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить рисунок"), suggested,
                                                     QStringLiteral("PNG (*.png)"));
    QString message;
    if (!out.isEmpty()
        && !statexport::writePng(m_doc.series(), statexport::pictureTitle(m_doc), statexport::defaultPictureSize,
                                 out, &message))
        showMessage(message, QStringLiteral("Ошибка"), true);
}

void TViewer::summaryClick()
{
    if (!m_doc.loaded()) {
        showMessage(QStringLiteral("Нет загруженных данных"), QStringLiteral("Ошибка"), true);
        return;
    }
    if (!m_summary) {
        m_summary = new DaySummaryView(this);
        m_summary->setOperator(m_operator);
        connect(m_summary, &DaySummaryView::openCabinetAt, this, &TViewer::showCabinetAt);
    }
    m_summary->showSummary(m_doc.file(), m_doc.fileName(), m_doc.dateText());
    m_summary->show();
    m_summary->raise();
    m_summary->activateWindow();
}

bool TViewer::showCabinetAt(int cabinet, int slot)
{
    const int index = int(m_doc.tabs().indexOf(cabinet));
    if (index < 0)
        return false;
    if (index != m_tabs->currentIndex())
        m_tabs->setCurrentIndex(index);   // builds the cabinet's day
    if (slot >= 0 && slot < statformat::slotsPerDay) {
        m_nav.setCursorSlot(slot);
        const int column = m_nav.cursorColumn();
        if (column < 0 || column >= m_nav.chartWidth()) {
            const int visibleSlots = int(m_nav.chartWidth() / m_nav.pixelsPerSample());
            if (m_nav.setScroll(slot - visibleSlots / 2))
                viewMoved();
        }
        curTimer();
        m_cursorPanel->update();
    }
    show();
    raise();
    activateWindow();
    return true;
}

void TViewer::nextClick()
{
    if (m_selected > 0)
        --m_selected;
    loadClick();
}

void TViewer::prevClick()
{
    if (m_selected >= 0 && m_selected + 1 < m_cache.count())
        ++m_selected;
    loadClick();
}
