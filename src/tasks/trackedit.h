#pragma once
#include <QWidget>

class QSlider;
class QSpinBox;

// A slider with its number beside it; both edit one whole value in a range.
class TrackEdit : public QWidget
{
    Q_OBJECT
public:
    TrackEdit(int minimum, int maximum, QWidget *parent = nullptr);

    int value() const;
    void setValue(int value);  // kept within the range

signals:
    void valueChanged(int value);

private:
    QSlider *m_slider;
    QSpinBox *m_spin;
};
