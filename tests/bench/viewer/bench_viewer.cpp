// Viewer benchmarks on a generated full day of 63 cabinets (8640 records,
// about 14.7 MB). Each figure is printed with its ratio to a baseline
// measured in the same run; nothing here fails on a number.
//
//   load            read + index + first day model, against a plain read of
//                   the same file into memory (goal: at most 1.5)
//   cabinet switch  day model of another tab (goal: under 2 ms)
//   chart redraw    each of the three charts at 1600 px, whole day and
//                   largest zoom (goal: under 10 ms each)
#include "bench/common/fullday.h"
#include "viewer/chartpictures.h"
#include "viewer/statdocument.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

using bench::medianMs;

void report(const char *what, double ms, double baselineMs, const char *baseline, const char *goal)
{
    std::printf("%-34s %9.3f ms   %6.2f x %-28s %s\n", what, ms, ms / baselineMs, baseline, goal);
}

}  // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const bench::FullDay day = bench::writeFullDay(dir.path());
    if (day.path.isEmpty())
        return 1;
    const QString &name = day.name;
    const QString &path = day.path;

    // --- load: each run times a plain read and then the loads, so that a
    // busy machine slows baseline and candidates alike.
    volatile qsizetype sink = 0;
    auto plainRead = [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        const QByteArray bytes = f.readAll();
        sink = sink + bytes.size();
    };
    auto coldLoad = [&] {
        StatDocument doc;
        doc.load(name, path);
        sink = sink + doc.file().recordCount();
    };
    StatDocument doc;
    auto warmLoad = [&] {
        doc.load(name, path);
        sink = sink + doc.file().recordCount();
    };
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    // Pairs of baseline and candidate, one candidate per loop.
    struct Paired
    {
        double baselineMs, candidateMs, ratio;
    };
    auto paired = [&](const std::function<void()> &candidate) {
        std::vector<double> base, cand, ratio;
        for (int i = 0; i < 41; ++i) {
            base.push_back(medianMs(1, plainRead));
            cand.push_back(medianMs(1, candidate));
            ratio.push_back(cand.back() / base.back());
        }
        return Paired{median(base), median(cand), median(ratio)};
    };
    const Paired cold = paired(coldLoad);
    const Paired warm = paired(warmLoad);
    std::printf("%-34s %9.3f ms   %6.2f x %-28s %s\n", "plain read into memory", cold.baselineMs, 1.0,
                "(baseline)", "");
    std::printf("%-34s %9.3f ms   %6.2f x %-28s %s\n", "load, new viewer", cold.candidateMs, cold.ratio,
                "of a plain read", "goal <= 1.5 x");
    std::printf("%-34s %9.3f ms   %6.2f x %-28s %s\n", "load again, buffer reused", warm.candidateMs, warm.ratio,
                "of a plain read", "goal <= 1.5 x");

    // --- cabinet switch
    std::vector<char> copy(size_t(day.bytes.size()));
    const double memcpyDay = medianMs(15, [&] {
        std::memcpy(copy.data(), day.bytes.constData(), copy.size());
        sink = sink + copy[copy.size() / 2];
    });
    int tab = 0;
    const double switchMs = medianMs(63 * 5, [&] {
        tab = (tab + 1) % int(doc.tabs().size());
        doc.setCurrentTab(tab);
    });
    std::printf("\n");
    report("copy of the whole file image", memcpyDay, memcpyDay, "(baseline)", "");
    report("cabinet switch", switchMs, memcpyDay, "of a copy of the file", "goal < 2 ms");

    // --- chart redraws
    doc.selectCabinet(7);
    const DaySeries &s = doc.series();
    const int W = 1600;
    ChartPictures pictures;
    pictures.resize(ChartPictures::Temperature, QSize(W, 300));
    pictures.resize(ChartPictures::Humidity, QSize(W, 300));
    pictures.resize(ChartPictures::State, QSize(W, 214));
    pictures.useDayRanges(s);

    QImage blank(W, 300, QImage::Format_RGB32);
    const double fill = medianMs(30, [&] {
        QPainter p(&blank);
        p.fillRect(blank.rect(), Qt::white);
    });
    std::printf("\n");
    report("fill of a 1600 x 300 picture", fill, fill, "(baseline)", "");

    struct View
    {
        const char *name;
        int zoom;
        int scroll;
    };
    const View views[] = {{"whole day", W, 0}, {"largest zoom", 8640, (8640 - W) / 2}};
    const char *charts[] = {"temperature", "humidity", "state"};
    for (const View &v : views) {
        ChartOptions o;
        o.map = {v.scroll, v.zoom * (1.0 / 8640)};
        // Settle the scales first, as the window's rescale timer does.
        for (int c = 0; c < 3; ++c)
            pictures.picture(ChartPictures::Chart(c), true, s, o);
        pictures.rescale(true);
        for (int c = 0; c < 3; ++c) {
            const auto chart = ChartPictures::Chart(c);
            const double ms = medianMs(30, [&] {
                pictures.invalidate(chart);
                pictures.picture(chart, true, s, o);
            });
            char what[64];
            std::snprintf(what, sizeof what, "redraw %s, %s", charts[c], v.name);
            report(what, ms, fill, "of the fill", "goal < 10 ms");
        }
    }
    return sink == -1;
}
