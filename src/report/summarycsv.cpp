#include "report/summarycsv.h"

#include "report/alarmnames.h"
#include "report/dayreport.h"
#include "report/savefile.h"
#include "report/summarytable.h"

#include <functional>

namespace report {

namespace {

struct CsvColumn
{
    QByteArray name;
    std::function<QString(const CabinetSummary &)> value;
};

QString count(int n)
{
    return QString::number(n);
}

std::function<QString(const CabinetSummary &)> measured(std::function<double(const CabinetSummary &)> get)
{
    return [get](const CabinetSummary &c) { return c.dataSlots ? fixed(get(c), 1) : QString(); };
}

QList<CsvColumn> valueColumns(const QByteArray &prefix, ValueSummary CabinetSummary::*v)
{
    return {
        {prefix + "_min", measured([v](const CabinetSummary &c) { return (c.*v).min; })},
        {prefix + "_max", measured([v](const CabinetSummary &c) { return (c.*v).max; })},
        {prefix + "_mean", measured([v](const CabinetSummary &c) { return (c.*v).mean(c.dataSlots); })},
        {prefix + "_mean_deviation",
         measured([v](const CabinetSummary &c) { return (c.*v).meanDeviation(c.dataSlots); })},
        {prefix + "_above_minutes", [v](const CabinetSummary &c) { return minutesText((c.*v).aboveSlots); }},
        {prefix + "_below_minutes", [v](const CabinetSummary &c) { return minutesText((c.*v).belowSlots); }},
    };
}

std::function<QString(const CabinetSummary &)> percent(int CabinetSummary::*slotCount)
{
    return measured([slotCount](const CabinetSummary &c) { return c.dutyPercent(c.*slotCount); });
}

QList<CsvColumn> buildColumns()
{
    QList<CsvColumn> columns{
        {"cabinet", [](const CabinetSummary &c) { return count(c.cabinet); }},
        {"data_minutes", [](const CabinetSummary &c) { return minutesText(c.dataSlots); }},
        {"no_data_minutes", [](const CabinetSummary &c) { return minutesText(c.noDataSlots()); }},
    };
    columns += valueColumns("t", &CabinetSummary::temperature);
    columns += valueColumns("h", &CabinetSummary::humidity);
    columns += {
        {"door_openings", [](const CabinetSummary &c) { return count(c.doorOpenings); }},
        {"door_minutes", [](const CabinetSummary &c) { return minutesText(c.doorSlots); }},
        {"heater_percent", percent(&CabinetSummary::heaterSlots)},
        {"cooler_percent", percent(&CabinetSummary::coolerSlots)},
        {"humidifier_percent", percent(&CabinetSummary::humidifierSlots)},
        {"turning_movements", [](const CabinetSummary &c) { return count(c.turningMovements); }},
    };
    for (int bit = 0; bit < alarmBitCount; ++bit) {
        const auto k = size_t(bit);
        const QByteArray key = QByteArray("alarm_") + alarmName(bit).key;
        columns += {
            {key + "_minutes", [k](const CabinetSummary &c) { return minutesText(c.alarmSlots[k]); }},
            {key + "_episodes", [k](const CabinetSummary &c) { return count(c.alarmEpisodes[k]); }},
        };
    }
    columns += {"first_out_of_tolerance", [](const CabinetSummary &c) {
                    return c.firstOutOfToleranceSlot >= 0 ? slotTime(c.firstOutOfToleranceSlot) : QString();
                }};
    return columns;
}

const QList<CsvColumn> &csvColumns()
{
    static const QList<CsvColumn> columns = buildColumns();
    return columns;
}

}  // namespace

QByteArray csv(const DayReport &report)
{
    const QList<CsvColumn> &columns = csvColumns();
    QByteArray out;
    for (const CsvColumn &column : columns)
        out += column.name + ',';
    out.back() = '\n';
    for (const CabinetSummary &c : report.cabinets) {
        for (const CsvColumn &column : columns)
            out += column.value(c).toLatin1() + ',';
        out.back() = '\n';
    }
    return out;
}

bool writeCsv(const DayReport &report, const QString &outFile, QString *message)
{
    return saveWhole(outFile, message, [&report](QIODevice &device) { return device.write(csv(report)) >= 0; });
}

}  // namespace report
