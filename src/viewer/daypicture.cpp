#include "viewer/daypicture.h"

#include "viewer/chartpictures.h"
#include "viewer/chartstyle.h"
#include "viewer/viewerlayout.h"

#include <QPainter>
#include <algorithm>

namespace daypicture {

namespace {

void captionBar(QPainter &p, const QRect &r, const QString &text)
{
    p.fillRect(r, QColor(0xE0, 0xE0, 0xE0));
    p.setPen(chartstyle::text);
    chartstyle::drawTextAt(p, r.left() + 6, r.top() + (r.height() - p.fontMetrics().height()) / 2, text);
}

void frame(QPainter &p, const QRect &r)
{
    p.setPen(chartstyle::grid);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

}  // namespace

QImage render(const DaySeries &s, const QString &title, QSize size, bool showTask, bool autoScale)
{
    size = size.expandedTo(QSize(minimumWidth, minimumHeight)).boundedTo(QSize(maximumSide, maximumSide));
    const int W = size.width() - viewerlayout::chartLeft - viewerlayout::sidePanelWidth;
    const int C = viewerlayout::captionHeight;
    const int rulerH = viewerlayout::rulerHeight;
    const int available = size.height() - rulerH - 3 * C;
    const int stateH = std::min(viewerlayout::stateChartHeight, available / 3);
    const int valueH = (available - stateH) / 2;

    ChartOptions o;
    o.showTask = showTask;
    o.autoScale = autoScale;
    o.map = {0, W * (1.0 / statformat::slotsPerDay)};

    ChartPictures pictures;
    pictures.resize(ChartPictures::Temperature, QSize(W, valueH));
    pictures.resize(ChartPictures::Humidity, QSize(W, valueH));
    pictures.resize(ChartPictures::State, QSize(W, stateH));
    pictures.useDayRanges(s);
    // Draw, then fit the scales to what was drawn, as the rescale timer does.
    for (int round = 0; round < 3; ++round) {
        for (int c = 0; c < ChartPictures::chartCount; ++c)
            pictures.picture(ChartPictures::Chart(c), true, s, o);
        if (!pictures.rescale(true))
            break;
    }

    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(0xF0, 0xF0, 0xF0));
    QPainter p(&image);
    p.setFont(chartstyle::font());

    const int left = viewerlayout::chartLeft;
    const QRect ruler(0, 0, left + W, rulerH);
    p.fillRect(ruler, chartstyle::background);
    p.setPen(chartstyle::text);
    p.save();
    p.setClipRect(ruler);
    paintTimeRuler(p, ruler.size(), o.map, left);
    p.restore();
    frame(p, ruler);

    struct Band
    {
        const char16_t *caption;
        ChartPictures::Chart chart;
        int height;
    };
    const Band bands[3] = {{u"Температура", ChartPictures::Temperature, valueH},
                           {u"Влажность", ChartPictures::Humidity, valueH},
                           {u"Состояние", ChartPictures::State, stateH}};
    int y = rulerH;
    for (const Band &b : bands) {
        captionBar(p, QRect(0, y, left + W, C), QString::fromUtf16(b.caption));
        y += C;
        p.drawImage(left, y, pictures.picture(b.chart, true, s, o));
        const QRect axis(1, y, left - 1, b.height);
        p.fillRect(axis, QColor(0xF0, 0xF0, 0xF0));
        p.save();
        p.translate(axis.topLeft());
        p.setClipRect(QRect(QPoint(0, 0), axis.size()));
        p.setPen(chartstyle::text);
        if (b.chart == ChartPictures::State) {
            p.translate(left + W - 1, 0);
            p.setClipRect(QRect(0, 0, viewerlayout::sidePanelWidth, b.height));
            paintStateLegend(p, b.height);
        } else {
            const ValueKind k = b.chart == ChartPictures::Temperature ? ValueKind::Temperature
                                                                       : ValueKind::Humidity;
            paintValueAxis(p, b.height, k, pictures.scale(k).axis);
        }
        p.restore();
        y += b.height;
    }

    // The title where the window shows its readout.
    p.setPen(chartstyle::text);
    const QRect titleBox(left + W + 4, 4, viewerlayout::sidePanelWidth - 8, rulerH + 2 * C);
    p.drawText(titleBox, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, title);
    return image;
}

}  // namespace daypicture
