#include "rolluppanel.h"

#include <QLinearGradient>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int CaptionHeight = 24;
}

// The title bar: a shaded strip with the title and, if wanted, the roll button.
class RollUpPanel::Caption : public QWidget
{
public:
    explicit Caption(RollUpPanel *panel)
        : QWidget(panel), m_panel(panel), m_button(new QToolButton(this))
    {
        m_button->setAutoRaise(true);
        m_button->setFixedSize(CaptionHeight - 4, CaptionHeight - 4);
        m_button->setToolTip(QStringLiteral("Свернуть"));
        connect(m_button, &QToolButton::clicked, panel, [panel] { panel->setRolledUp(!panel->isRolledUp()); });
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        setFixedHeight(CaptionHeight);
        updateArrow();
    }

    QToolButton *button() const { return m_button; }

    void setVertical(bool vertical)
    {
        m_vertical = vertical;
        if (vertical) {
            setMinimumHeight(0);
            setMaximumHeight(QWIDGETSIZE_MAX);
            setFixedWidth(CaptionHeight);
            setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        } else {
            setMinimumWidth(0);
            setMaximumWidth(QWIDGETSIZE_MAX);
            setFixedHeight(CaptionHeight);
            setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        }
        updateArrow();
        placeButton();
        update();
    }

    void updateArrow()
    {
        if (m_panel->m_direction == Direction::Sideways)
            m_button->setArrowType(m_panel->isRolledUp() ? Qt::LeftArrow : Qt::RightArrow);
        else
            m_button->setArrowType(m_panel->isRolledUp() ? Qt::DownArrow : Qt::UpArrow);
        m_button->setToolTip(m_panel->isRolledUp() ? QStringLiteral("Развернуть") : QStringLiteral("Свернуть"));
    }

protected:
    void resizeEvent(QResizeEvent *) override { placeButton(); }

    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QColor base = palette().color(QPalette::Highlight);
        QLinearGradient shade(0, 0, m_vertical ? width() : 0, m_vertical ? 0 : height());
        shade.setColorAt(0, base.lighter(135));
        shade.setColorAt(1, base.darker(115));
        p.fillRect(rect(), shade);
        p.setPen(palette().color(QPalette::HighlightedText));
        QFont bold = font();
        bold.setBold(true);
        p.setFont(bold);
        if (m_vertical) {
            // Written upwards, below the button.
            p.translate(0, height());
            p.rotate(-90);
            p.drawText(QRect(6, 0, height() - CaptionHeight - 6, width()), Qt::AlignRight | Qt::AlignVCenter,
                       m_panel->title());
        } else {
            p.drawText(rect().adjusted(8, 0, -CaptionHeight, 0), Qt::AlignLeft | Qt::AlignVCenter, m_panel->title());
        }
    }

private:
    void placeButton()
    {
        if (m_vertical)
            m_button->move((width() - m_button->width()) / 2, 2);
        else
            m_button->move(width() - m_button->width() - 2, (height() - m_button->height()) / 2);
    }

    RollUpPanel *m_panel;
    QToolButton *m_button;
    bool m_vertical = false;
};

RollUpPanel::RollUpPanel(const QString &title, Direction direction, QWidget *parent)
    : QFrame(parent), m_title(title), m_direction(direction)
{
    setFrameShape(QFrame::StyledPanel);
    m_caption = new Caption(this);
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(1, 1, 1, 1);
    m_layout->setSpacing(0);
    m_layout->addWidget(m_caption);
}

void RollUpPanel::setContent(QWidget *content)
{
    if (m_content)
        m_layout->removeWidget(m_content);
    m_content = content;
    m_layout->addWidget(content, 1);
    content->setVisible(!m_rolledUp);
}

void RollUpPanel::setRollButtonVisible(bool visible)
{
    m_caption->button()->setVisible(visible);
}

void RollUpPanel::setRolledUp(bool rolledUp)
{
    if (rolledUp == m_rolledUp)
        return;
    m_rolledUp = rolledUp;
    if (m_content)
        m_content->setVisible(!rolledUp);
    if (m_direction == Direction::Sideways) {
        m_caption->setVertical(rolledUp);
        setMaximumWidth(rolledUp ? CaptionHeight + 2 : QWIDGETSIZE_MAX);
    } else {
        m_layout->setAlignment(m_caption, rolledUp ? Qt::AlignTop : Qt::Alignment());
        setMaximumHeight(rolledUp ? CaptionHeight + 2 : QWIDGETSIZE_MAX);
    }
    m_caption->updateArrow();
    emit rolledUpChanged(rolledUp);
}
