#pragma once
#include <QList>
#include <QWidget>

// The cabinet tabs: one tab per cabinet number, captioned with the number,
// wrapped onto as many rows as the width needs.
class CabinetTabs : public QWidget
{
    Q_OBJECT
public:
    static constexpr int TabHeight = 24;

    explicit CabinetTabs(QWidget *parent = nullptr);

    // Replaces all tabs; selects the tab of select, or the first one.
    void setNumbers(const QList<int> &numbers, int select = -1);
    const QList<int> &numbers() const { return m_numbers; }
    int count() const { return int(m_numbers.size()); }
    int number(int index) const { return m_numbers.value(index, -1); }
    QString tabText(int index) const { return QString::number(number(index)); }

    int currentIndex() const { return m_current; }
    void setCurrentIndex(int index);  // emits currentChanged when it changes

    QRect tabRect(int index) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void currentChanged(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QList<QRect> layoutFor(int width) const;
    int tabWidth(int index) const;

    QList<int> m_numbers;
    QList<QRect> m_rects;
    int m_current = -1;
};
