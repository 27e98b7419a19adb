#include "report/cabinetsummary.h"

#include "viewer/statformat.h"

#include <numeric>

namespace report {

int CabinetSummary::noDataSlots() const
{
    return statformat::slotsPerDay - dataSlots;
}

int CabinetSummary::outOfToleranceSlots() const
{
    return temperature.aboveSlots + temperature.belowSlots + humidity.aboveSlots + humidity.belowSlots;
}

int CabinetSummary::alarmSlotsTotal() const
{
    return std::accumulate(alarmSlots.begin(), alarmSlots.end(), 0);
}

}  // namespace report
