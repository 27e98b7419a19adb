#include "viewer/chartstyle.h"

#include <QFontMetrics>

namespace chartstyle {

QFont font()
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(11);
    return f;
}

void drawTextAt(QPainter &p, int x, int top, const QString &text)
{
    p.drawText(QPoint(x, top + p.fontMetrics().ascent()), text);
}

}  // namespace chartstyle
