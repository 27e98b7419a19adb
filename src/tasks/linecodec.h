#pragma once
#include <QByteArray>
#include <QByteArrayView>

#include "tasks/calendarhour.h"

// The record every profile and task line is parsed into and formatted from.
// Lines are code page 1251 bytes, exactly as in the data files. A parse
// overwrites only the fields its format reached before the first mismatch;
// the others keep what they held, which the editor relies on.
struct TLineFields
{
    static constexpr int NameCapacity = 99;  // bytes

    QByteArray Name;  // one word
    qint32 Days = 0;
    qint32 Hours = 0;
    float Temperature = 0.0f;
    qint32 Humidity = 0;
    quint16 StartDay = 0, StartMonth = 0, StartYear = 0, StartHour = 0;
    quint16 EndDay = 0, EndMonth = 0, EndYear = 0, EndHour = 0;
    CalendarHour Start;
    CalendarHour End;
};

// A stage line starts with a blank; any other line is a profile header.
bool isStageLine(QByteArrayView line);

// Library lines.
void ParseProfileHeader(TLineFields &f, QByteArrayView line);
QByteArray FormatProfileHeader(const TLineFields &f);
void ParseStage(TLineFields &f, QByteArrayView line);
QByteArray FormatStage(const TLineFields &f);

// Task lines: library lines followed by start and end. The parsers also set
// Start and End from the date fields (invalid when those are no real date).
void ParseTaskHeader(TLineFields &f, QByteArrayView line);
QByteArray FormatTaskHeader(const TLineFields &f);
void ParseTaskStage(TLineFields &f, QByteArrayView line);
QByteArray FormatTaskStage(const TLineFields &f);

// Sets the eight date fields from Start and End; an invalid value gives all
// zeros, which no later step takes for a date.
void DecodeStartEnd(TLineFields &f);

// The texts of the task view's columns.
QByteArray formatPeriod(qint32 days, qint32 hours);      // "%02d д. %02d час."
QByteArray formatSetpoint(float temperature, qint32 humidity);  // "%2.1f°C %02d%%"
QByteArray formatTemperature(float temperature);        // "%2.1f"
QByteArray formatDateHour(quint16 day, quint16 month, quint16 year, quint16 hour);  // "%02d.%02d.%02d %02d:00"
