#include "report/dayreport.h"

#include "report/summary.h"
#include "viewer/statdocument.h"
#include "viewer/statfile.h"
#include "viewer/statname.h"

#include <QFileInfo>

namespace report {

const CabinetSummary *DayReport::find(int cabinet) const
{
    for (const CabinetSummary &c : cabinets)
        if (c.cabinet == cabinet)
            return &c;
    return nullptr;
}

DayReport makeReport(const StatFile &file, const QString &fileName, const QString &dateText,
                     const Tolerances &tolerances)
{
    DayReport r;
    r.fileName = fileName;
    r.dateText = dateText;
    r.tolerances = tolerances;
    r.cabinets = summarizeFile(file, tolerances);
    r.damagedRecords = file.damagedRecords();
    return r;
}

bool loadReport(const QString &path, const Tolerances &tolerances, DayReport *report, QString *message)
{
    const QString fileName = QFileInfo(path).fileName();
    QDate date;
    QString error;
    if (!statname::dateOf(fileName, &date, &error)) {
        if (message)
            *message = error;
        return false;
    }
    StatFile file;
    if (!file.read(path)) {
        if (message)
            *message = QStringLiteral("Ошибка при открытии файла!");
        return false;
    }
    *report = makeReport(file, fileName, statname::dateText(date), tolerances);
    if (message)
        *message = report->damagedRecords ? StatDocument::damageMessage(report->damagedRecords) : QString();
    return true;
}

}  // namespace report
