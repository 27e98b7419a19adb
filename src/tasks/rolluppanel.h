#pragma once
#include <QFrame>

class QToolButton;
class QVBoxLayout;

// A titled panel that can roll up: upwards to its title bar, or sideways to a
// narrow strip with the title written upwards.
class RollUpPanel : public QFrame
{
    Q_OBJECT
public:
    enum class Direction { Up, Sideways };

    RollUpPanel(const QString &title, Direction direction, QWidget *parent = nullptr);

    void setContent(QWidget *content);
    void setRollButtonVisible(bool visible);
    void setRolledUp(bool rolledUp);
    bool isRolledUp() const { return m_rolledUp; }
    QString title() const { return m_title; }

signals:
    void rolledUpChanged(bool rolledUp);

private:
    class Caption;

    QString m_title;
    Direction m_direction;
    bool m_rolledUp = false;
    Caption *m_caption;
    QVBoxLayout *m_layout;
    QWidget *m_content = nullptr;
};
