#include "viewer/rollpanel.h"

#include "viewer/viewerlayout.h"

#include <QPainter>
#include <QToolButton>

RollPanel::RollPanel(const QString &caption, QWidget *parent)
    : QWidget(parent), m_bar(new QToolButton(this)), m_body(new QWidget(this))
{
    m_bar->setText(caption);
    m_bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_bar->setArrowType(Qt::DownArrow);
    m_bar->setAutoRaise(true);
    m_bar->setFocusPolicy(Qt::NoFocus);
    connect(m_bar, &QToolButton::clicked, this, [this] { setRolledUp(!m_rolledUp); });
}

int RollPanel::captionHeight() const
{
    return viewerlayout::captionHeight;
}

void RollPanel::setRolledUp(bool up)
{
    if (up == m_rolledUp)
        return;
    m_rolledUp = up;
    m_bar->setArrowType(up ? Qt::RightArrow : Qt::DownArrow);
    m_body->setVisible(!up);
    emit rollStateChanged();
}

void RollPanel::resizeEvent(QResizeEvent *)
{
    const int c = captionHeight();
    m_bar->setGeometry(0, 0, width(), c);
    m_body->setGeometry(1, c, std::max(0, width() - 2), std::max(0, height() - c - 1));
}

void RollPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
