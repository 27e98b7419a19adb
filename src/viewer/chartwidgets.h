#pragma once
#include <QWidget>
#include <functional>

// A widget that paints through a function: axis panels, the time ruler, the
// legend and the readout. A failing painter ends its paint silently.
class PaintBox : public QWidget
{
    Q_OBJECT
public:
    using Painter = std::function<void(QPainter &)>;
    explicit PaintBox(Painter painter, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    Painter m_painter;
};

// A chart on the screen: copies its off-screen picture (brought up to date by
// the supplier when needed) and shows the blinking cursor as an inverted
// pixel column on the screen only.
class ChartView : public QWidget
{
    Q_OBJECT
public:
    using Supplier = std::function<const QImage &()>;
    explicit ChartView(Supplier picture, QWidget *parent = nullptr);

    // Column of the cursor line, -1 for none; repaints just the columns.
    void setCursorColumn(int x);
    int cursorColumn() const { return m_cursorX; }

signals:
    void pressed(int x);
    void dragged(int x);   // moved with the left button held

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *) override;
    void mouseMoveEvent(QMouseEvent *) override;

private:
    Supplier m_picture;
    int m_cursorX = -1;
};
