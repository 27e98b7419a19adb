#include "cabinettable.h"

#include "link/tokens.h"

CabinetTable::Report CabinetTable::apply(QByteArrayView report)
{
    const qsizetype comma = report.indexOf(',');
    if (comma < 0)
        return Report::Ignored;
    const auto n = parseDecimal(report.first(comma));
    const auto v = parseDecimal(report.sliced(comma + 1));
    if (!n || !v || *n < 0 || *n >= size)
        return Report::Ignored;
    const auto value = quint8(quint64(*v) & 0xFF);
    if (*n == 0)
        clear();
    states_[size_t(*n)] = value;
    return *n == 64 ? Report::StoredAfterRepaint : Report::Stored;
}

void CabinetTable::setState(int cabinet, quint8 value)
{
    if (cabinet >= 0 && cabinet < size)
        states_[size_t(cabinet)] = value;
}

namespace cabinetcolours {

QColor cellFill(quint8 state)
{
    if (state & 0x08)
        return white;
    if (state & 0x04)
        return yellow;
    if (state & 0x03)
        return moneyGreen;
    return silver;
}

QColor numberColour(quint8 state, int blinkPhase)
{
    switch (state & 0x03) {
    case 1: return navy;
    case 2: return blinkPhase == 1 ? black : red;
    default: return grey;
    }
}

}  // namespace cabinetcolours
