#pragma once
#include <QDate>
#include <compare>

// A whole hour on the calendar. Stages are laid out by plain calendar
// arithmetic on hours, so no time zone or daylight-saving change can ever
// move one. Years 1..9999 only: every date field is written with four digits.
class CalendarHour
{
public:
    CalendarHour() = default;  // invalid

    // Invalid unless the fields name a real date and an hour 0..23.
    static CalendarHour fromFields(int year, int month, int day, int hour);
    static CalendarHour fromDate(QDate date, int hour);

    bool isValid() const { return m_valid; }
    QDate date() const;
    int hour() const;

    // Invalid if this is invalid or the result leaves the years 1..9999.
    CalendarHour addHours(qint64 hours) const;

    friend bool operator==(const CalendarHour &, const CalendarHour &) = default;
    // Only meaningful between valid values.
    friend auto operator<=>(const CalendarHour &a, const CalendarHour &b) { return a.m_hours <=> b.m_hours; }

private:
    qint64 m_hours = 0;  // hours since the start of Julian day 0
    bool m_valid = false;
};
