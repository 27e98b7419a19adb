#pragma once
#include <QWidget>

class PaintBox;
class ChartView;
class RollPanel;
class QScrollBar;

// The part of the viewer inside the cabinet tabs: the time ruler, the
// roll-up panels of the temperature, humidity and state charts (each with
// its axis panel on the left) and the scroll bar. It sizes the panels: the
// state panel keeps a fixed height, temperature and humidity share the rest,
// and a rolled-up panel leaves its room to the other.
class ChartArea : public QWidget
{
    Q_OBJECT
public:
    explicit ChartArea(QWidget *parent = nullptr);

    // Placed by the owner, which supplies their painters.
    void setWidgets(PaintBox *ruler, PaintBox *tempAxis, ChartView *temp, PaintBox *humAxis,
                    ChartView *hum, ChartView *st);

    RollPanel *temperaturePanel() const { return m_t; }
    RollPanel *humidityPanel() const { return m_h; }
    RollPanel *statePanel() const { return m_s; }
    QScrollBar *scrollBar() const { return m_scroll; }

    // Width W shared by the three charts, and the size of a panel's chart
    // (computed, so that it is right even before the panel is shown).
    int chartWidth() const;
    QSize chartSize(const RollPanel *panel) const;

    // Heights for a client height, as the layout computes them; exposed so
    // that the rules can be checked without a window.
    struct Heights
    {
        int t, h, s;
    };
    static Heights panelHeights(int clientHeight, int scrollHeight, bool tUp, bool hUp, bool sUp);

signals:
    void layoutChanged();   // chart sizes may have changed

protected:
    void resizeEvent(QResizeEvent *) override;

private:
    void relayout();

    PaintBox *m_ruler = nullptr;
    RollPanel *m_t;
    RollPanel *m_h;
    RollPanel *m_s;
    QScrollBar *m_scroll;
    QWidget *m_stAxis;
};
