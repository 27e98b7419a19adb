#include "trackedit.h"

#include <QHBoxLayout>
#include <QSlider>
#include <QSpinBox>

TrackEdit::TrackEdit(int minimum, int maximum, QWidget *parent)
    : QWidget(parent),
      m_slider(new QSlider(Qt::Horizontal, this)),
      m_spin(new QSpinBox(this))
{
    m_slider->setRange(minimum, maximum);
    m_spin->setRange(minimum, maximum);
    m_slider->setPageStep(qMax(1, (maximum - minimum) / 10));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_slider, 1);
    layout->addWidget(m_spin);
    connect(m_slider, &QSlider::valueChanged, m_spin, &QSpinBox::setValue);
    connect(m_spin, &QSpinBox::valueChanged, m_slider, &QSlider::setValue);
    connect(m_spin, &QSpinBox::valueChanged, this, &TrackEdit::valueChanged);
    setFocusProxy(m_spin);
}

int TrackEdit::value() const
{
    return m_spin->value();
}

void TrackEdit::setValue(int value)
{
    m_spin->setValue(value);
}
