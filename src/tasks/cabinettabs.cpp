#include "cabinettabs.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOption>
#include <QTabBar>
#include <QStylePainter>

CabinetTabs::CabinetTabs(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void CabinetTabs::setNumbers(const QList<int> &numbers, int select)
{
    m_numbers = numbers;
    m_current = m_numbers.isEmpty() ? -1 : qMax(0, int(m_numbers.indexOf(select)));
    m_rects = layoutFor(width());
    updateGeometry();
    update();
}

void CabinetTabs::setCurrentIndex(int index)
{
    if (index < 0 || index >= count() || index == m_current)
        return;
    m_current = index;
    update();
    emit currentChanged(index);
}

int CabinetTabs::tabWidth(int index) const
{
    return qMax(44, fontMetrics().horizontalAdvance(tabText(index)) + 28);
}

QList<QRect> CabinetTabs::layoutFor(int width) const
{
    QList<QRect> rects;
    int x = 0;
    int y = 0;
    for (int i = 0; i < count(); ++i) {
        const int w = tabWidth(i);
        if (x > 0 && x + w > width) {
            x = 0;
            y += TabHeight;
        }
        rects.append(QRect(x, y, w, TabHeight));
        x += w;
    }
    return rects;
}

QRect CabinetTabs::tabRect(int index) const
{
    return m_rects.value(index);
}

int CabinetTabs::heightForWidth(int width) const
{
    const auto rects = layoutFor(width);
    return rects.isEmpty() ? TabHeight : rects.last().bottom() + 1;
}

QSize CabinetTabs::sizeHint() const
{
    int w = 0;
    for (int i = 0; i < count(); ++i)
        w += tabWidth(i);
    return {qMax(w, 100), TabHeight};
}

QSize CabinetTabs::minimumSizeHint() const
{
    return {60, heightForWidth(width())};
}

void CabinetTabs::resizeEvent(QResizeEvent *)
{
    const int before = m_rects.isEmpty() ? TabHeight : m_rects.last().bottom() + 1;
    m_rects = layoutFor(width());
    if (heightForWidth(width()) != before)
        updateGeometry();
}

void CabinetTabs::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionTabBarBase base;
    base.initFrom(this);
    base.shape = QTabBar::RoundedNorth;
    base.rect = QRect(0, height() - 2, width(), 2);
    painter.drawPrimitive(QStyle::PE_FrameTabBarBase, base);

    // The selected tab is drawn last so that it lies over its neighbours.
    QList<int> order;
    for (int i = 0; i < count(); ++i) {
        if (i != m_current)
            order.append(i);
    }
    if (m_current >= 0)
        order.append(m_current);
    for (int i : order) {
        QStyleOptionTab tab;
        tab.initFrom(this);
        tab.shape = QTabBar::RoundedNorth;
        tab.rect = m_rects.value(i);
        tab.text = tabText(i);
        const bool first = i == 0 || m_rects.value(i - 1).y() != tab.rect.y();
        const bool last = i == count() - 1 || m_rects.value(i + 1).y() != tab.rect.y();
        tab.position = first && last ? QStyleOptionTab::OnlyOneTab
            : first                  ? QStyleOptionTab::Beginning
            : last                   ? QStyleOptionTab::End
                                     : QStyleOptionTab::Middle;
        tab.state &= ~QStyle::State_HasFocus;
        if (i == m_current) {
            tab.state |= QStyle::State_Selected;
            if (hasFocus())
                tab.state |= QStyle::State_HasFocus;
        }
        painter.drawControl(QStyle::CE_TabBarTab, tab);
    }
}

void CabinetTabs::mousePressEvent(QMouseEvent *event)
{
    for (int i = 0; i < count(); ++i) {
        if (m_rects.value(i).contains(event->position().toPoint())) {
            setCurrentIndex(i);
            return;
        }
    }
    QWidget::mousePressEvent(event);
}

void CabinetTabs::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Left)
        setCurrentIndex(m_current - 1);
    else if (event->key() == Qt::Key_Right)
        setCurrentIndex(m_current + 1);
    else
        QWidget::keyPressEvent(event);
}
