// The day's summary of a generated full day of 63 cabinets (8640 records,
// about 14.7 MB) against loading the same file in the viewer, measured in
// the same run. Prints both and their ratio; nothing here fails on a number.
//
//   load                the viewer's load: read + index + first day model
//   summary             every cabinet's figures, computed right after that
//                       load from the document it loaded, as the viewer's
//                       summary window does
//   floor               one float read from every block and added up: what
//                       any summary of every block costs at the least
//   summary by models   the same figures from 63 day models, one per
//                       cabinet (what the one-pass walk saves)
//   cold load           the viewer's load of the file after it has been
//                       dropped from the page cache (Linux), as when an
//                       older day is opened after the computer restarted
//                       (a day just fetched from the collector is still in
//                       the page cache: the first load is the usual case)
#include "bench/common/fullday.h"
#include "report/dayreport.h"
#include "report/summary.h"
#include "viewer/statdocument.h"
#include "viewer/statformat.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

using bench::median;
using bench::timeMs;

// Asks the kernel to forget the file's cached pages; false where it cannot.
bool dropFromPageCache(const QString &path)
{
#ifdef Q_OS_LINUX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return false;
    ::fdatasync(fd);
    const bool dropped = ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    ::close(fd);
    return dropped;
#else
    (void)path;
    return false;
#endif
}

// What any summary must at least do: read something of every block.
double touchEveryBlock(const StatFile &file)
{
    using namespace statformat;
    double sum = 0;
    for (int r = 0; r < file.recordCount(); ++r) {
        const unsigned char *rec = file.data() + file.recordOffset(r);
        const unsigned n = rec[2];
        const unsigned char *blocks = rec + recordHeaderSize + n;
        for (unsigned i = 0; i < n; ++i)
            sum += readF32(blocks + blockSize * i + block::tSum);
    }
    return sum;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const bench::FullDay day = bench::writeFullDay(dir.path());
    if (day.path.isEmpty())
        return 1;
    const QString &name = day.name;
    const QString &path = day.path;

    volatile long long sink = 0;
    const report::Tolerances tolerances;
    StatDocument loaded;
    loaded.load(name, path);
    const StatFile &file = loaded.file();
    auto series = std::make_unique<DaySeries>();

    // Each round times a load and then the candidates, so that a busy
    // machine slows all of them alike; the medians of the rounds count.
    std::vector<double> load, summary, byModels, touch, ratio, ratioModels, ratioTouch;
    for (int round = 0; round < 41; ++round) {
        StatDocument doc;
        load.push_back(timeMs([&] {
            doc.load(name, path);
            sink = sink + doc.file().recordCount();
        }));
        summary.push_back(timeMs([&] {
            const QList<report::CabinetSummary> all = report::summarizeFile(doc.file(), tolerances);
            sink = sink + all.size();
        }));
        touch.push_back(timeMs([&] { sink = sink + touchEveryBlock(doc.file()); }));
        byModels.push_back(timeMs([&] {
            for (int c : file.cabinets()) {
                series->build(file, c);
                sink = sink + report::summarizeSeries(*series, c, tolerances).dataSlots;
            }
        }));
        ratio.push_back(summary.back() / load.back());
        ratioModels.push_back(byModels.back() / load.back());
        ratioTouch.push_back(touch.back() / load.back());
    }
    std::printf("%-40s %9.3f ms   %6.2f x\n", "load in the viewer (baseline)", median(load), 1.0);
    std::printf("%-40s %9.3f ms   %6.2f x of the load\n", "summary of 63 cabinets, one pass", median(summary),
                median(ratio));
    std::printf("%-40s %9.3f ms   %6.2f x of the load\n", "one reading of every block (floor)",
                median(touch), median(ratioTouch));
    std::printf("%-40s %9.3f ms   %6.2f x of the load\n", "summary of 63 cabinets, by day models",
                median(byModels), median(ratioModels));

    std::vector<double> cold, coldSummary, coldRatio;
    for (int round = 0; round < 11 && dropFromPageCache(path); ++round) {
        StatDocument doc;
        cold.push_back(timeMs([&] {
            doc.load(name, path);
            sink = sink + doc.file().recordCount();
        }));
        coldSummary.push_back(timeMs([&] { sink = sink + report::summarizeFile(doc.file(), tolerances).size(); }));
        coldRatio.push_back(coldSummary.back() / cold.back());
    }
    if (!cold.empty()) {
        std::printf("\n%-40s %9.3f ms   %6.2f x\n", "load, file not in the page cache", median(cold), 1.0);
        std::printf("%-40s %9.3f ms   %6.2f x of that load\n", "summary of 63 cabinets, one pass",
                    median(coldSummary), median(coldRatio));
    }
    return sink == -1;
}
