#pragma once
#include <QDate>
#include <QString>

// Day file names carry their date as YY?MM?DD in the first eight characters
// (separators not read) and are recognised by ".IN" in the name.
namespace statname {

bool isStatFileName(const QString &name);

// The date of a day file name; false with a message for the operator when
// the date characters are not digits or form no valid date.
bool dateOf(const QString &name, QDate *date, QString *error);

// "5.03.2009 г., четверг": the weekday is always Russian, whatever the
// system locale says.
QString dateText(const QDate &date);

// "[09-03-05.INC] - Статистика за 5.03.2009 г., четверг"
QString caption(const QString &fileName, const QString &dateText);

}  // namespace statname
