#pragma once
#include "report/cabinetsummary.h"
#include "report/tolerances.h"

#include <QList>
#include <QString>

class StatFile;

namespace report {

// The summary of one statistics file: a row per cabinet in it, ascending.
struct DayReport
{
    QString fileName;      // as listed, e.g. "09-03-05.INC"
    QString dateText;      // "5.03.2009 г., четверг"
    Tolerances tolerances;
    QList<CabinetSummary> cabinets;
    int damagedRecords = 0;   // skipped by the file's scan

    const CabinetSummary *find(int cabinet) const;
};

DayReport makeReport(const StatFile &file, const QString &fileName, const QString &dateText,
                     const Tolerances &tolerances);

// Reads a statistics file whose name carries its date and summarises it.
// False with the reason in *message when the name or the file is unusable;
// on true *message warns about damaged records (empty otherwise).
bool loadReport(const QString &path, const Tolerances &tolerances, DayReport *report, QString *message);

}  // namespace report
