#pragma once
#include "report/cabinetsummary.h"

#include <QList>
#include <QString>
#include <functional>

// The columns of the summary as the window shows it and the page prints it:
// one row per cabinet.
namespace report {

enum class Mark { None, OutOfTolerance, Alarm };

struct TableColumn
{
    QString title;     // "\n" separates the lines of the header
    QString toolTip;
    std::function<QString(const CabinetSummary &)> text;
    std::function<Mark(const CabinetSummary &)> mark;
};

const QList<TableColumn> &tableColumns();

// A fixed-point number that never reads "-0.0".
QString fixed(double value, int decimals);

// Slots as minutes with one decimal: "2.5" for 15 slots.
QString minutesText(int slots);

// "Время" of a slot as the viewer's readout writes it, "13:45:50".
QString slotTime(int slot);

}  // namespace report
