#include "viewer/chartpictures.h"

#include "viewer/chartstyle.h"
#include "viewer/dayseries.h"

ChartPictures::ChartPictures()
{
    for (int c = 0; c < chartCount; ++c)
        resize(Chart(c), QSize(1, 1));
}

void ChartPictures::resize(Chart c, QSize size)
{
    size = size.expandedTo(QSize(1, 1));
    if (m_images[c].size() != size) {
        m_images[c] = QImage(size, QImage::Format_RGB32);
        m_images[c].fill(chartstyle::background);
    }
    m_upToDate[c] = false;
}

void ChartPictures::invalidateValueCharts()
{
    m_upToDate[Temperature] = false;
    m_upToDate[Humidity] = false;
}

const QImage &ChartPictures::picture(Chart c, bool loaded, const DaySeries &s, const ChartOptions &o)
{
    QImage &image = m_images[c];
    if (loaded && !m_upToDate[c]) {
        QPainter p(&image);
        if (c == State) {
            paintStateChart(p, image.size(), s, o.map);
        } else {
            const ValueKind k = c == Temperature ? ValueKind::Temperature : ValueKind::Humidity;
            paintValueChart(p, image.size(), s, k, o, scale(k));
        }
        m_upToDate[c] = true;
    }
    return image;
}

void ChartPictures::useDayRanges(const DaySeries &s)
{
    scale(ValueKind::Temperature).min = s.tMin;
    scale(ValueKind::Temperature).max = s.tMax;
    scale(ValueKind::Humidity).min = s.hMin;
    scale(ValueKind::Humidity).max = s.hMax;
}

int ChartPictures::rescale(bool loaded)
{
    if (!loaded)
        return 0;
    int changed = 0;
    for (Chart c : {Temperature, Humidity}) {
        // A picture waiting for its redraw has no shown range yet.
        if (!m_upToDate[c])
            continue;
        if (scale(c == Temperature ? ValueKind::Temperature : ValueKind::Humidity).adoptPending()) {
            m_upToDate[c] = false;
            changed |= 1 << c;
        }
    }
    return changed;
}
