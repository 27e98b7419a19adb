#pragma once
#include "report/cabinetsummary.h"
#include "report/tolerances.h"

#include <QList>

class StatFile;
struct DaySeries;

namespace report {

// The summary of a day model already built.
CabinetSummary summarizeSeries(const DaySeries &series, int cabinet, const Tolerances &tolerances);

// Every cabinet of the file in one pass over its records, ascending, with
// the day model's rules for each slot (a later record of a slot overwrites
// the earlier one field by field, a zero count keeps the earlier reading).
// A cabinet whose records run backwards in time is summarised from its day
// model instead, so the result always equals summarizeSeries of the model.
QList<CabinetSummary> summarizeFile(const StatFile &file, const Tolerances &tolerances);

}  // namespace report
