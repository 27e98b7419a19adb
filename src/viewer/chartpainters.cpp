#include "viewer/chartpainters.h"

#include "viewer/chartstyle.h"
#include "viewer/dayseries.h"

#include <QPen>
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

using statformat::slotsPerDay;

namespace {

constexpr int slotsPerHour = 360;
constexpr int halfHour = 180;

// Vertical line of one pixel from y0 up to, not including, y1.
void column(QPainter &p, int x, int y0, int y1, const QColor &c)
{
    if (y1 < y0)
        std::swap(y0, y1);
    p.fillRect(QRect(x, y0, 1, y1 - y0), c);
}

void dottedColumn(QPainter &p, int x, int height)
{
    QPen pen(chartstyle::grid, 1, Qt::DotLine);
    p.setPen(pen);
    p.drawLine(QPoint(x, 0), QPoint(x, height - 1));
}

// A polyline that breaks where data is missing and draws a segment only when
// its end point moves.
struct Trace
{
    bool started = false;
    QPoint last;

    void to(QPainter &p, const QPen &pen, QPoint pt)
    {
        if (!started) {
            started = true;
            last = pt;
        } else if (pt != last) {
            p.setPen(pen);
            p.drawLine(last, pt);
            last = pt;
        }
    }
};

}  // namespace

double firstStep(ValueKind kind)
{
    return kind == ValueKind::Temperature ? 0.1 : 1.0;
}

void paintValueChart(QPainter &p, QSize size, const DaySeries &s, ValueKind kind,
                     const ChartOptions &o, ChartScale &scale)
{
    const int W = size.width(), H = size.height();
    const float *task = kind == ValueKind::Temperature ? s.tTask.data() : s.hTask.data();
    const float *meas = kind == ValueKind::Temperature ? s.tMeas.data() : s.hMeas.data();
    const HorizontalMap &map = o.map;

    p.fillRect(QRect(0, 0, W, H), chartstyle::background);
    scale.axis = computeAxis(scale.min, scale.max, H, firstStep(kind));
    scale.pendingMin = 99999;
    scale.pendingMax = -99999;
    if (!map.valid()) {
        if (kind == ValueKind::Temperature && !o.autoScale) {
            scale.pendingMin = fixedTemperatureMin;
            scale.pendingMax = fixedTemperatureMax;
        }
        return;
    }
    const int first = map.firstSlot(0), last = map.lastSlot(W);

    // Hour lines, and half-hour lines when there is room for them.
    const bool halfHours = map.pixelsPerSample > 0.4;
    for (int i = (first + halfHour - 1) / halfHour * halfHour; i < last; i += halfHour) {
        const int x = map.x(i);
        if (x > W)
            break;
        if (i % slotsPerHour == 0)
            column(p, x, 0, H, chartstyle::grid);
        else if (halfHours)
            dottedColumn(p, x, H);
    }

    const AxisScale &axis = scale.axis;
    double v = std::ceil(axis.low / axis.step) * axis.step;
    for (int n = 0; v < axis.high && n < 10000; ++n, v += axis.step)
        p.fillRect(QRect(0, valueToY(v, axis, H), W, 1), chartstyle::grid);

    const QPen taskPen(chartstyle::taskLine, 1);
    const QPen measPen(chartstyle::measuredLine, 1);
    Trace taskTrace, measTrace;
    double vmin = 99999, vmax = -99999;
    int lastNoData = -1;
    for (int i = first; i < last; ++i) {
        const int x = map.x(i);
        if (x > W)
            break;
        const float t = task[i], m = meas[i];
        if (t == 0 || m == 0) {
            taskTrace.started = measTrace.started = false;
            if (x != lastNoData) {
                lastNoData = x;
                column(p, x, 0, H, chartstyle::noData);
            }
            continue;
        }
        if (o.showTask) {
            vmin = std::min(vmin, double(t));
            vmax = std::max(vmax, double(t));
            taskTrace.to(p, taskPen, QPoint(x, valueToY(t, axis, H)));
        }
        vmin = std::min(vmin, double(m));
        vmax = std::max(vmax, double(m));
        measTrace.to(p, measPen, QPoint(x, valueToY(m, axis, H)));
    }
    if (kind == ValueKind::Temperature && !o.autoScale) {
        vmin = fixedTemperatureMin;
        vmax = fixedTemperatureMax;
    }
    scale.pendingMin = vmin;
    scale.pendingMax = vmax;
}

namespace {

enum class Shape { Below, Above, Full };

struct Mark
{
    bool alarm;      // bit of the alarm word, else of the state word
    int bit;
    int row;
    Shape shape;
    const QColor *colour;
};

// In drawing order: the red alarm marks, then the state marks of rows 0-6,
// the motor (up and down are told apart by colour), ventilation, control.
const std::array<Mark, 22> marks{{
    {true, 3, 0, Shape::Below, &chartstyle::alarmMark},
    {true, 4, 1, Shape::Below, &chartstyle::alarmMark},
    {true, 5, 2, Shape::Below, &chartstyle::alarmMark},
    {true, 1, 3, Shape::Below, &chartstyle::alarmMark},
    {true, 6, 4, Shape::Below, &chartstyle::alarmMark},
    {true, 7, 5, Shape::Below, &chartstyle::alarmMark},
    {true, 8, 6, Shape::Below, &chartstyle::alarmMark},
    {true, 2, 8, Shape::Below, &chartstyle::alarmMark},
    {true, 0, 9, Shape::Full, &chartstyle::alarmMark},
    {true, 9, 10, Shape::Full, &chartstyle::alarmMark},
    {true, 10, 11, Shape::Full, &chartstyle::alarmMark},
    {false, 3, 0, Shape::Above, &chartstyle::measuredLine},
    {false, 4, 1, Shape::Above, &chartstyle::measuredLine},
    {false, 5, 2, Shape::Above, &chartstyle::measuredLine},
    {false, 0, 3, Shape::Above, &chartstyle::measuredLine},
    {false, 6, 4, Shape::Above, &chartstyle::measuredLine},
    {false, 7, 5, Shape::Above, &chartstyle::measuredLine},
    {false, 8, 6, Shape::Above, &chartstyle::measuredLine},
    {false, 1, 7, Shape::Full, &chartstyle::motorUp},     // motor moving, bit 2 set
    {false, 1, 7, Shape::Full, &chartstyle::motorDown},   // motor moving, bit 2 clear
    {false, 10, 8, Shape::Above, &chartstyle::measuredLine},
    {false, 9, 12, Shape::Full, &chartstyle::motorUp},
}};
constexpr int motorUpMark = 18;
constexpr int motorDownMark = 19;

// Marks of one slot as a bit set over `marks`.
uint32_t marksOf(uint16_t alarms, uint16_t states)
{
    uint32_t set = 0;
    for (size_t k = 0; k < marks.size(); ++k) {
        const Mark &m = marks[k];
        if ((m.alarm ? alarms : states) & (1u << m.bit))
            set |= 1u << k;
    }
    const bool up = states & 0x0004;
    set &= ~(1u << (up ? motorDownMark : motorUpMark));
    return set;
}

void drawMark(QPainter &p, int x, const Mark &m, int p0, int c)
{
    const int y = c + p0 * m.row;
    switch (m.shape) {
    case Shape::Below:
        column(p, x, y + 1, y + 5, *m.colour);
        break;
    case Shape::Above:
        column(p, x, y - 4, y, *m.colour);
        break;
    case Shape::Full:
        column(p, x, y - 4, y + 5, *m.colour);
        break;
    }
}

// Many slots share a pixel column when the day is squeezed. Only the last
// occurrence of each mark in a column decides its pixels, so a column's
// marks are collected and drawn once, in the order of their last occurrence;
// anything drawn across the column first flushes what was collected.
class ColumnMarks
{
public:
    ColumnMarks(QPainter &p, int rowPitch, int rowCentre)
        : m_p(p), m_pitch(rowPitch), m_centre(rowCentre)
    {
    }

    void add(int x, int slot, uint32_t set)
    {
        if (x != m_x)
            flush();
        m_x = x;
        for (uint32_t rest = set; rest; rest &= rest - 1) {
            const int k = std::countr_zero(rest);
            m_seq[size_t(k)] = slot * 32 + k;
        }
        m_present |= set;
    }

    void flush()
    {
        if (!m_present)
            return;
        std::array<int, 32> order;
        int n = 0;
        for (uint32_t rest = m_present; rest; rest &= rest - 1)
            order[size_t(n++)] = std::countr_zero(rest);
        std::sort(order.begin(), order.begin() + n,
                  [this](int a, int b) { return m_seq[size_t(a)] < m_seq[size_t(b)]; });
        for (int i = 0; i < n; ++i)
            drawMark(m_p, m_x, marks[size_t(order[size_t(i)])], m_pitch, m_centre);
        m_present = 0;
    }

private:
    QPainter &m_p;
    int m_pitch;
    int m_centre;
    int m_x = -1;
    uint32_t m_present = 0;
    std::array<int, 32> m_seq{};
};

}  // namespace

void paintStateChart(QPainter &p, QSize size, const DaySeries &s, const HorizontalMap &map)
{
    const int W = size.width(), H = size.height();
    p.fillRect(QRect(0, 0, W, H), chartstyle::background);
    const double rowH = H / 13.0;
    const int pitch = int(rowH);
    const int centre = int(rowH * 0.5);

    if (map.valid()) {
        const int first = map.firstSlot(0), last = map.lastSlot(W);
        const bool halfHours = map.pixelsPerSample > 0.4;
        ColumnMarks pending(p, pitch, centre);
        int lastGrid = -1, lastNoData = -1;
        for (int i = first; i < last; ++i) {
            const int x = map.x(i);
            if (x > W)
                break;
            const int m = i % slotsPerHour;
            if (m == 0 && x != lastGrid) {
                pending.flush();
                lastGrid = x;
                column(p, x, 0, H, chartstyle::grid);
            } else if (m == halfHour && halfHours && x != lastGrid) {
                pending.flush();
                lastGrid = x;
                dottedColumn(p, x, H);
            }
            if ((s.hMeas[size_t(i)] == 0 || s.tMeas[size_t(i)] == 0) && x != lastNoData) {
                pending.flush();
                lastNoData = lastGrid = x;
                column(p, x, 0, H, chartstyle::noData);
            }
            if (const uint32_t set = marksOf(s.alarmBits[size_t(i)], s.stateBits[size_t(i)]))
                pending.add(x, i, set);
        }
        pending.flush();
    }

    // Row boundaries.
    for (double r = 0; r < H; r += rowH)
        p.fillRect(QRect(0, int(r + 0.5), W, 1), chartstyle::grid);
}
