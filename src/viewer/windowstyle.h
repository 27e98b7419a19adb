#pragma once
#include "viewer/chartstyle.h"

#include <QString>
#include <QToolButton>
#include <QWidget>

// The look the viewer's windows share: the chart face one step larger for
// the controls, and flat tool bar buttons that show their text.
namespace windowstyle {

inline void applyFont(QWidget *window)
{
    QFont f = chartstyle::font();
    f.setPixelSize(12);
    window->setFont(f);
}

inline QToolButton *textButton(const QString &name, const QString &text, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setAutoRaise(true);
    return b;
}

}  // namespace windowstyle
