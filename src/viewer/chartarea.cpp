#include "viewer/chartarea.h"

#include "viewer/chartwidgets.h"
#include "viewer/rollpanel.h"
#include "viewer/viewerlayout.h"

#include <QHBoxLayout>
#include <QScrollBar>

using namespace viewerlayout;

namespace {

void fillBody(RollPanel *panel, QWidget *axis, QWidget *chart)
{
    auto *row = new QHBoxLayout(panel->body());
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    axis->setFixedWidth(axisWidth);
    row->addWidget(axis);
    row->addWidget(chart, 1);
}

}  // namespace

ChartArea::ChartArea(QWidget *parent)
    : QWidget(parent),
      m_t(new RollPanel(QStringLiteral("Температура"), this)),
      m_h(new RollPanel(QStringLiteral("Влажность"), this)),
      m_s(new RollPanel(QStringLiteral("Состояние"), this)),
      m_scroll(new QScrollBar(Qt::Horizontal, this)),
      m_stAxis(new QWidget)
{
    m_t->setObjectName(QStringLiteral("T"));
    m_h->setObjectName(QStringLiteral("H"));
    m_s->setObjectName(QStringLiteral("S"));
    m_scroll->setObjectName(QStringLiteral("scroll"));
    for (RollPanel *panel : {m_t, m_h, m_s})
        connect(panel, &RollPanel::rollStateChanged, this, [this] {
            relayout();
            emit layoutChanged();
        });
}

void ChartArea::setWidgets(PaintBox *ruler, PaintBox *tempAxis, ChartView *temp, PaintBox *humAxis,
                           ChartView *hum, ChartView *st)
{
    m_ruler = ruler;
    ruler->setParent(this);
    fillBody(m_t, tempAxis, temp);
    fillBody(m_h, humAxis, hum);
    fillBody(m_s, m_stAxis, st);
    relayout();
}

ChartArea::Heights ChartArea::panelHeights(int clientHeight, int scrollHeight, bool tUp, bool hUp, bool sUp)
{
    const int C = captionHeight;
    Heights r;
    r.s = sUp ? C : C + stateChartHeight + 1;
    const int h = sUp ? C + 7 : r.s;
    const int avail = clientHeight - scrollHeight - rulerHeight - 2 - h;
    r.t = tUp ? C : (hUp ? avail - C : int(avail * 0.5));
    r.h = hUp ? C : (tUp ? avail - r.t : int(avail * 0.5));
    r.t = std::max(r.t, C);
    r.h = std::max(r.h, C);
    return r;
}

void ChartArea::resizeEvent(QResizeEvent *)
{
    relayout();
    emit layoutChanged();
}

void ChartArea::relayout()
{
    const int w = width();
    const int scrollH = m_scroll->sizeHint().height();
    const Heights hs = panelHeights(height(), scrollH, m_t->isRolledUp(), m_h->isRolledUp(), m_s->isRolledUp());
    int y = 0;
    if (m_ruler)
        m_ruler->setGeometry(0, 0, w, rulerHeight);
    y += rulerHeight + 1;
    m_t->setGeometry(0, y, w, hs.t);
    y += hs.t;
    m_h->setGeometry(0, y, w, hs.h);
    // The state panel and the scroll bar sit at the bottom.
    m_scroll->setGeometry(chartLeft, height() - scrollH, std::max(0, w - chartLeft - 1), scrollH);
    m_s->setGeometry(0, height() - scrollH - hs.s, w, hs.s);
}

int ChartArea::chartWidth() const
{
    // Panel border on both sides and the axis panel.
    return std::max(1, width() - chartLeft - 1);
}

QSize ChartArea::chartSize(const RollPanel *panel) const
{
    return QSize(chartWidth(), std::max(1, panel->height() - captionHeight - 1));
}
