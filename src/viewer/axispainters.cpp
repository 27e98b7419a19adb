#include "viewer/chartpainters.h"
#include "viewer/chartstyle.h"

#include <QFontMetrics>
#include <cmath>

QString axisLabel(ValueKind kind, double v)
{
    if (kind == ValueKind::Temperature)
        return QString::asprintf("%2.1f", v) + QStringLiteral("°C");
    return QString::asprintf("%2.0f", v) + QStringLiteral(" %");
}

void paintValueAxis(QPainter &p, int height, ValueKind kind, const AxisScale &axis)
{
    if (axis.step == 0 || !(axis.high > axis.low))
        return;
    const int half = p.fontMetrics().height() / 2;
    double v = std::ceil(axis.low / axis.step) * axis.step;
    for (int n = 0; v < axis.high && n < 10000; ++n, v += axis.step)
        chartstyle::drawTextAt(p, 2, valueToY(v, axis, height) - half, axisLabel(kind, v));
}

void paintTimeRuler(QPainter &p, QSize size, const HorizontalMap &map, int chartLeft)
{
    if (!map.valid())
        return;
    const int H = size.height();
    const QFontMetrics fm = p.fontMetrics();
    auto label = [&](int x, int top, const QString &text) {
        chartstyle::drawTextAt(p, x - fm.horizontalAdvance(text) / 2, top, text);
    };
    auto tick = [&](int x, int y0) { p.fillRect(QRect(x, y0, 1, H - y0), p.pen().color()); };

    const bool tenMinuteLabels = map.pixelsPerSample > 0.4;
    const bool minuteTicks = map.pixelsPerSample > 0.6;
    const int first = map.firstSlot(0);
    const int last = map.lastSlot(size.width());
    // Below a minute per pixel column only every minute can carry a mark.
    for (int i = (first + 5) / 6 * 6; i < last; i += 6) {
        const int m = i % 360;
        const int x = map.x(i) + chartLeft;
        if (m == 0) {
            tick(x, 0);
            label(x, 2, QString::number(i / 360) + QStringLiteral(":00"));
        } else if (m == 180) {
            tick(x, H / 2);
            label(x, 16, QStringLiteral("30"));
        } else if (m == 60 || m == 120 || m == 240 || m == 300) {
            tick(x, H - H / 3);
            if (tenMinuteLabels)
                label(x, 16, QString::number(m / 60) + QLatin1Char('0'));
        } else if (minuteTicks) {
            tick(x, H - 10);
        }
    }
}

void paintStateLegend(QPainter &p, int chartHeight)
{
    static const char16_t *const rows[13] = {
        u"-45°",       u"0°",         u"+45°",     u"Дверь", u"Нагреватель",
        u"Охладитель", u"Увлажнитель", u"Движение", u"Вентиляция", u"+12В",
        u"~220В",      u"Датчик",     u"Контроль",
    };
    const double rowH = chartHeight / 13.0;
    for (int k = 0; k < 13; ++k)
        chartstyle::drawTextAt(p, 4, int(rowH * k + 2), QString::fromUtf16(rows[k]));
}
