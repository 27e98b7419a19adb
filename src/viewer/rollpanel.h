#pragma once
#include <QWidget>

class QToolButton;

// A panel with a caption bar that rolls the panel up to the bar and down
// again. The body sits inside a 1-pixel frame below the bar.
class RollPanel : public QWidget
{
    Q_OBJECT
public:
    RollPanel(const QString &caption, QWidget *parent = nullptr);

    QWidget *body() const { return m_body; }
    bool isRolledUp() const { return m_rolledUp; }
    void setRolledUp(bool up);
    int captionHeight() const;

signals:
    void rollStateChanged();

protected:
    void resizeEvent(QResizeEvent *) override;
    void paintEvent(QPaintEvent *) override;

private:
    QToolButton *m_bar;
    QWidget *m_body;
    bool m_rolledUp = false;
};
