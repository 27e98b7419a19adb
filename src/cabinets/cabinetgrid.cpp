#include "cabinetgrid.h"

#include "cabinetgridpainter.h"
#include "link/link.h"
#include "link/operatorui.h"
#include "temporarycontrol.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

// The paint panel itself: selection on press, the menu on release.
class GridPanel : public QWidget
{
public:
    explicit GridPanel(CabinetGrid &grid) : grid_(grid)
    {
        setObjectName(QStringLiteral("GTX"));
        setMinimumSize(160, 209);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), cabinetcolours::silver);
        paintCabinetGrid(painter, size(), grid_.table_, grid_.blinkPhase_);
    }
    void mousePressEvent(QMouseEvent *e) override { grid_.select(e->position().toPoint()); }
    void mouseReleaseEvent(QMouseEvent *e) override { grid_.openMenu(e->position().toPoint()); }
    void mouseDoubleClickEvent(QMouseEvent *e) override
    {
        grid_.select(e->position().toPoint());
        grid_.N2Click();
    }

private:
    CabinetGrid &grid_;
};

namespace {

QLabel *legendPanel(const QString &caption, const QColor &fill, const QColor &text)
{
    auto *label = new QLabel(caption);
    label->setAutoFillBackground(true);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, fill);
    p.setColor(QPalette::WindowText, text);
    label->setPalette(p);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Raised);
    label->setContentsMargins(6, 3, 6, 3);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

}  // namespace

CabinetGrid::CabinetGrid(Link &link, OperatorUi &ui, QWidget *parent) : QWidget(parent), link_(link), ui_(ui)
{
    using namespace cabinetcolours;
    GTX = new GridPanel(*this);

    auto *legend = new QVBoxLayout;
    legend->addWidget(legendPanel(QStringLiteral("Шкаф отсутствует"), silver, grey));
    legend->addWidget(legendPanel(QStringLiteral("Подключен"), moneyGreen, navy));
    legend->addWidget(legendPanel(QStringLiteral("Подключен - авария"), moneyGreen, red));
    legend->addWidget(legendPanel(QStringLiteral("Времменно контр."), white, navy));
    legend->addWidget(legendPanel(QStringLiteral("Времменно контр. - авария"), white, red));
    legend->addWidget(legendPanel(QStringLiteral("Контролируется"), yellow, navy));
    legend->addWidget(legendPanel(QStringLiteral("Контролируется - авария"), yellow, red));
    legend->addStretch(1);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(GTX, 1);
    layout->addLayout(legend);

    pop = new QMenu(this);
    N11 = pop->addAction(QStringLiteral("ШКАФ №1"));
    N11->setEnabled(false);
    pop->setDefaultAction(N11);
    pop->addSeparator();
    pop->addAction(QStringLiteral("Поставить на временный контроль"), this, &CabinetGrid::N3Click);
    pop->addAction(QStringLiteral("Снять с временного контроля"), this, &CabinetGrid::N1Click);
    pop->addSeparator();
    pop->addAction(QStringLiteral("Загрузить статистику"), this, &CabinetGrid::N2Click);

    Timer1.setInterval(500);
    connect(&Timer1, &QTimer::timeout, this, &CabinetGrid::Timer1Timer);
    Timer1.start();

    connect(&link_, &Link::boxLine, this, &CabinetGrid::onBoxLine);
    connect(&link_, &Link::cabinetReportsLost, this, &CabinetGrid::gtxrTimer);
}

void CabinetGrid::onBoxLine(const QByteArray &report)
{
    if (table_.apply(report) == CabinetTable::Report::StoredAfterRepaint)
        GTX->repaint();   // the end of a cycle shows the states as they are
}

void CabinetGrid::gtxrTimer()
{
    table_.clear();
    GTX->update();
}

void CabinetGrid::Timer1Timer()
{
    blinkPhase_ ^= 1;
    GTX->update();
}

void CabinetGrid::select(QPoint point)
{
    selectedCabinet_ = cabinetAt(point, GTX->size());
    N11->setText(QStringLiteral("-- ШКАФ №") + QString::number(selectedCabinet_) + QStringLiteral(" --"));
}

void CabinetGrid::openMenu(QPoint point)
{
    pop->popup(GTX->mapToGlobal(point + QPoint(5, 5)));
}

void CabinetGrid::temporaryControl(bool on)
{
    if (setTemporaryControl(link_, selectedCabinet_, on))
        return;
    ui_.message(QStringLiteral("Ошибка во время общения с устройством!"), QStringLiteral("Ошибка"),
                OperatorUi::Icon::Warning);
    Q_EMIT refreshRequested();
}

void CabinetGrid::N3Click() { temporaryControl(true); }
void CabinetGrid::N1Click() { temporaryControl(false); }
void CabinetGrid::N2Click() { Q_EMIT loadStatisticsRequested(selectedCabinet_); }
