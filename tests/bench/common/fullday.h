#pragma once
// What the benchmarks share: the generated full day of 63 cabinets they
// load, and wall-clock timing by the median of rounds.
#include "statgen.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace bench {

struct FullDay
{
    QString name;   // as the cache names it: YY-MM-DD.INC
    QString path;
    QByteArray bytes;   // the file's content
};

// Writes the day (8640 records, no gaps, about 14.7 MB) into the folder and
// says so on standard output; an empty path when it cannot be written.
inline FullDay writeFullDay(const QString &folder)
{
    statgen::Options options;
    options.date = QDate(2009, 3, 5);
    statgen::parseCabinets(QStringLiteral("1-63"), &options.cabinets, nullptr);
    options.seed = 2009;
    options.gaps = false;
    FullDay result;
    result.name = statgen::dayFileName(options.date);
    result.bytes = statgen::generateDay(options);
    QFile f(QDir(folder).filePath(result.name));
    if (!f.open(QIODevice::WriteOnly) || f.write(result.bytes) != result.bytes.size())
        return result;
    result.path = f.fileName();
    std::printf("day file: %lld bytes, 63 cabinets\n\n", static_cast<long long>(result.bytes.size()));
    return result;
}

inline double timeMs(const std::function<void()> &job)
{
    QElapsedTimer timer;
    timer.start();
    job();
    return timer.nsecsElapsed() / 1e6;
}

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Median wall time of a job run `runs` times, in milliseconds.
inline double medianMs(int runs, const std::function<void()> &job)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i)
        t.push_back(timeMs(job));
    return median(t);
}

}  // namespace bench
