#pragma once
#include "viewer/chartpainters.h"

#include <QImage>
#include <array>

struct DaySeries;

// The off-screen picture of each chart with its up-to-date flag, and the
// scales of the two value charts. A picture is redrawn only when it is out of
// date and a day model is loaded; otherwise it keeps what it holds.
class ChartPictures
{
public:
    enum Chart { Temperature, Humidity, State };
    static constexpr int chartCount = 3;

    ChartPictures();

    void resize(Chart c, QSize size);
    QSize size(Chart c) const { return m_images[c].size(); }
    const QImage &image(Chart c) const { return m_images[c]; }   // as it stands

    void invalidate(Chart c) { m_upToDate[c] = false; }
    void invalidateAll() { m_upToDate.fill(false); }
    void invalidateValueCharts();
    bool upToDate(Chart c) const { return m_upToDate[c]; }

    // The picture, brought up to date first when it may be.
    const QImage &picture(Chart c, bool loaded, const DaySeries &s, const ChartOptions &o);

    ChartScale &scale(ValueKind k) { return m_scales[k == ValueKind::Temperature ? 0 : 1]; }
    const ChartScale &scale(ValueKind k) const { return m_scales[k == ValueKind::Temperature ? 0 : 1]; }

    // Every day-model build draws first with the day-wide ranges.
    void useDayRanges(const DaySeries &s);

    // The rescale step: each drawn value chart whose shown range differs from
    // the range in use takes it and goes out of date. Returns the charts changed
    // as a bit set (1 << Chart).
    int rescale(bool loaded);

private:
    std::array<QImage, chartCount> m_images;
    std::array<bool, chartCount> m_upToDate{};
    std::array<ChartScale, 2> m_scales;
};
