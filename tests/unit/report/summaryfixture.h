#pragma once
// Day files for the summary tests, built byte by byte with the viewer tests'
// builder, and the summary of one cabinet computed both ways: in one pass
// over the file and from the cabinet's day model. The two must agree.
#include "report/dayreport.h"
#include "report/summary.h"
#include "statgen.h"
#include "unit/viewer/dayfilebuilder.h"
#include "viewer/dayseries.h"
#include "viewer/statfile.h"

#include <QTest>
#include <memory>

// Ten-second slot -> FAT time word (seconds / 2 in the low five bits).
inline quint16 timeOfSlot(int slot)
{
    return DayFileBuilder::time(slot / 360, slot % 360 / 6, slot % 6 * 10);
}

// A block with readings equal to their set points.
inline TestBlock steady(int cabinet, float t = 37.5f, float h = 55.0f)
{
    TestBlock b;
    b.cabinet = cabinet;
    b.tSet = b.tSum = t;
    b.hSet = b.hSum = h;
    return b;
}

inline report::CabinetSummary summaryOf(const QByteArray &image, int cabinet,
                                        const report::Tolerances &tolerances = {})
{
    StatFile file;
    file.setImage(image);
    const QList<report::CabinetSummary> all = report::summarizeFile(file, tolerances);
    report::CabinetSummary fast;
    for (const report::CabinetSummary &c : all)
        if (c.cabinet == cabinet)
            fast = c;
    auto series = std::make_unique<DaySeries>();
    series->build(file, cabinet);
    const report::CabinetSummary fromModel = report::summarizeSeries(*series, cabinet, tolerances);
    if (!(fast == fromModel))
        QTest::qFail("the one-pass summary differs from the day model's", __FILE__, __LINE__);
    return fromModel;
}
