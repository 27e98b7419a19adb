#include "viewer/chartwidgets.h"

#include "viewer/chartstyle.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

PaintBox::PaintBox(Painter painter, QWidget *parent)
    : QWidget(parent), m_painter(std::move(painter))
{
}

void PaintBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setFont(chartstyle::font());
    p.setPen(chartstyle::text);
    try {
        m_painter(p);
    } catch (...) {
        // The next paint starts afresh.
    }
}

ChartView::ChartView(Supplier picture, QWidget *parent)
    : QWidget(parent), m_picture(std::move(picture))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartView::setCursorColumn(int x)
{
    if (x == m_cursorX)
        return;
    if (m_cursorX >= 0)
        update(QRect(m_cursorX, 0, 1, height()));
    m_cursorX = x;
    if (m_cursorX >= 0)
        update(QRect(m_cursorX, 0, 1, height()));
}

void ChartView::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    try {
        const QImage &picture = m_picture();
        const QRect r = e->rect();
        if (r == rect())
            p.drawImage(0, 0, picture);
        else
            p.drawImage(r, picture, r);
        if (m_cursorX >= 0 && m_cursorX < picture.width() && r.left() <= m_cursorX && m_cursorX <= r.right()) {
            QImage line = picture.copy(m_cursorX, 0, 1, picture.height());
            line.invertPixels();
            p.drawImage(m_cursorX, 0, line);
        }
    } catch (...) {
    }
}

void ChartView::mousePressEvent(QMouseEvent *e)
{
    emit pressed(int(e->position().x()));
}

void ChartView::mouseMoveEvent(QMouseEvent *e)
{
    if (e->buttons() & Qt::LeftButton)
        emit dragged(int(e->position().x()));
}
