#include "calendarhour.h"

namespace {

qint64 floorDiv(qint64 a, qint64 b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

const qint64 firstHour = QDate(1, 1, 1).toJulianDay() * 24;
const qint64 lastHour = QDate(9999, 12, 31).toJulianDay() * 24 + 23;

}  // namespace

CalendarHour CalendarHour::fromFields(int year, int month, int day, int hour)
{
    if (year < 1 || year > 9999 || hour < 0 || hour > 23 || !QDate::isValid(year, month, day))
        return {};
    CalendarHour h;
    h.m_hours = QDate(year, month, day).toJulianDay() * 24 + hour;
    h.m_valid = true;
    return h;
}

CalendarHour CalendarHour::fromDate(QDate date, int hour)
{
    if (!date.isValid())
        return {};
    return fromFields(date.year(), date.month(), date.day(), hour);
}

QDate CalendarHour::date() const
{
    return m_valid ? QDate::fromJulianDay(floorDiv(m_hours, 24)) : QDate();
}

int CalendarHour::hour() const
{
    return m_valid ? int(m_hours - floorDiv(m_hours, 24) * 24) : 0;
}

CalendarHour CalendarHour::addHours(qint64 hours) const
{
    // Stage lengths come from text files: keep far away from overflow.
    constexpr qint64 limit = qint64(1) << 50;
    if (!m_valid || hours > limit || hours < -limit)
        return {};
    const qint64 sum = m_hours + hours;
    if (sum < firstHour || sum > lastHour)
        return {};
    CalendarHour h;
    h.m_hours = sum;
    h.m_valid = true;
    return h;
}
