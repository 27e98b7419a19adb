#include "report/summarytable.h"

#include "report/alarmnames.h"

namespace report {

namespace {

using Text = std::function<QString(const CabinetSummary &)>;
using Get = std::function<double(const CabinetSummary &)>;

Mark noMark(const CabinetSummary &)
{
    return Mark::None;
}

// A value measured over the slots with data: blank without data.
Text measured(Get get, int decimals, bool signedValue = false)
{
    return [get, decimals, signedValue](const CabinetSummary &c) {
        if (!c.dataSlots)
            return QString();
        const QString t = fixed(get(c), decimals);
        return signedValue && !t.startsWith(u'-') && t != fixed(0, decimals) ? QStringLiteral("+") + t : t;
    };
}

TableColumn outOfTolerance(const QString &title, const QString &toolTip, int ValueSummary::*field,
                           ValueSummary CabinetSummary::*value)
{
    return {title, toolTip, [=](const CabinetSummary &c) { return minutesText((c.*value).*field); },
            [=](const CabinetSummary &c) { return (c.*value).*field ? Mark::OutOfTolerance : Mark::None; }};
}

// name: "Т"; quantity: "температура", and `what` its genitive for the tool tips.
QList<TableColumn> valueColumns(const QString &name, const QString &unit, const QString &quantity,
                                const QString &what, int decimals, ValueSummary CabinetSummary::*value)
{
    return {
        {QStringLiteral("%1 мин,\n%2").arg(name, unit), QStringLiteral("Наименьшее значение %1").arg(what),
         measured([value](const CabinetSummary &c) { return (c.*value).min; }, decimals), noMark},
        {QStringLiteral("%1 макс,\n%2").arg(name, unit), QStringLiteral("Наибольшее значение %1").arg(what),
         measured([value](const CabinetSummary &c) { return (c.*value).max; }, decimals), noMark},
        {QStringLiteral("%1 ср.,\n%2").arg(name, unit), QStringLiteral("Среднее значение %1").arg(what),
         measured([value](const CabinetSummary &c) { return (c.*value).mean(c.dataSlots); }, decimals), noMark},
        {QStringLiteral("Δ%1 ср.,\n%2").arg(name, unit),
         QStringLiteral("Среднее отклонение %1 от задания (плюс: выше задания)").arg(what),
         measured([value](const CabinetSummary &c) { return (c.*value).meanDeviation(c.dataSlots); }, decimals,
                  true),
         noMark},
        outOfTolerance(QStringLiteral("%1 выше,\nмин").arg(name),
                       QStringLiteral("Минут, когда %1 выше задания более чем на допуск").arg(quantity),
                       &ValueSummary::aboveSlots, value),
        outOfTolerance(QStringLiteral("%1 ниже,\nмин").arg(name),
                       QStringLiteral("Минут, когда %1 ниже задания более чем на допуск").arg(quantity),
                       &ValueSummary::belowSlots, value),
    };
}

TableColumn duty(const QString &title, const QString &toolTip, int CabinetSummary::*slotCount)
{
    return {title, toolTip, measured([slotCount](const CabinetSummary &c) { return c.dutyPercent(c.*slotCount); }, 1),
            noMark};
}

TableColumn alarm(int bit)
{
    const AlarmName &name = alarmName(bit);
    const auto k = size_t(bit);
    return {QString::fromUtf16(name.title),
            QString::fromUtf16(name.longText) + QStringLiteral(": минут (случаев)"),
            [k](const CabinetSummary &c) {
                return c.alarmSlots[k] ? QStringLiteral("%1 (%2)").arg(minutesText(c.alarmSlots[k])).arg(c.alarmEpisodes[k])
                                       : QString();
            },
            [k](const CabinetSummary &c) { return c.alarmSlots[k] ? Mark::Alarm : Mark::None; }};
}

QList<TableColumn> buildColumns()
{
    QList<TableColumn> columns{
        {QStringLiteral("Шкаф"), QStringLiteral("Номер шкафа; двойной щелчок открывает его график"),
         [](const CabinetSummary &c) { return QString::number(c.cabinet); }, noMark},
        {QStringLiteral("Данные,\nмин"), QStringLiteral("Минут с заданием и измерениями температуры и влажности"),
         [](const CabinetSummary &c) { return minutesText(c.dataSlots); }, noMark},
        {QStringLiteral("Нет данных,\nмин"), QStringLiteral("Минут без задания или без измерений"),
         [](const CabinetSummary &c) { return minutesText(c.noDataSlots()); }, noMark},
    };
    columns += valueColumns(QStringLiteral("Т"), QStringLiteral("°C"), QStringLiteral("температура"),
                            QStringLiteral("температуры"), 2, &CabinetSummary::temperature);
    columns += valueColumns(QStringLiteral("Вл."), QStringLiteral("%"), QStringLiteral("влажность"),
                            QStringLiteral("влажности"), 1, &CabinetSummary::humidity);
    columns += {
        {QStringLiteral("Дверь,\nраз"), QStringLiteral("Сколько раз открывали дверь"),
         [](const CabinetSummary &c) { return QString::number(c.doorOpenings); }, noMark},
        {QStringLiteral("Дверь,\nмин"), QStringLiteral("Минут с открытой дверью"),
         [](const CabinetSummary &c) { return minutesText(c.doorSlots); }, noMark},
        duty(QStringLiteral("Нагр.,\n%"), QStringLiteral("Нагреватель включён, % времени с данными"),
             &CabinetSummary::heaterSlots),
        duty(QStringLiteral("Охл.,\n%"), QStringLiteral("Охладитель включён, % времени с данными"),
             &CabinetSummary::coolerSlots),
        duty(QStringLiteral("Увл.,\n%"), QStringLiteral("Увлажнитель включён, % времени с данными"),
             &CabinetSummary::humidifierSlots),
        {QStringLiteral("Повороты,\nраз"), QStringLiteral("Сколько раз включался мотор поворота лотков"),
         [](const CabinetSummary &c) { return QString::number(c.turningMovements); }, noMark},
    };
    for (int bit = 0; bit < alarmBitCount; ++bit)
        columns += alarm(bit);
    return columns;
}

}  // namespace

const QList<TableColumn> &tableColumns()
{
    static const QList<TableColumn> columns = buildColumns();
    return columns;
}

QString fixed(double value, int decimals)
{
    QString t = QString::number(value, 'f', decimals);
    // Rounding a small negative value leaves a bare minus sign in front of zero.
    if (t.startsWith(u'-') && t.mid(1) == QString::number(0.0, 'f', decimals))
        t.remove(0, 1);
    return t;
}

QString minutesText(int slotCount)
{
    return fixed(slotsToMinutes(slotCount), 1);
}

QString slotTime(int slot)
{
    return QString::asprintf("%02d:%02d:%02d", slot / 360, slot % 360 / 6, slot % 6 * 10);
}

}  // namespace report
