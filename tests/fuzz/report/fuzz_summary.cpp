// Feeds arbitrary bytes to the day file reader and summarises every cabinet
// in one pass; the summaries of the first, the last and one more cabinet
// must equal those computed from their day models (all of them would make
// each input cost dozens of models), and the CSV must have one line per
// cabinet.
#include "report/dayreport.h"
#include "report/summary.h"
#include "report/summarycsv.h"
#include "viewer/dayseries.h"
#include "viewer/statfile.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const auto series = std::make_unique<DaySeries>();
    StatFile file;
    file.setImage(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));

    report::Tolerances tolerances;
    if (size > 0)
        tolerances.temperature = 0.05 + data[0] % 20 * 0.05;
    const report::DayReport day = report::makeReport(file, QStringLiteral("09-03-05.INC"), QString(), tolerances);
    if (day.cabinets.size() != file.cabinets().size())
        std::abort();
    for (const report::CabinetSummary &c : day.cabinets)
        if (c.dataSlots < 0 || c.dataSlots > 8640 || c.doorSlots > 8640 || c.firstOutOfToleranceSlot >= 8640)
            std::abort();
    if (!day.cabinets.isEmpty()) {
        const qsizetype n = day.cabinets.size();
        for (qsizetype i : {qsizetype(0), n - 1, qsizetype(size % size_t(n))}) {
            const report::CabinetSummary &c = day.cabinets.at(i);
            series->build(file, c.cabinet);
            if (!(report::summarizeSeries(*series, c.cabinet, tolerances) == c))
                std::abort();
        }
    }
    if (report::csv(day).count('\n') != day.cabinets.size() + 1)
        std::abort();
    return 0;
}
