#include "viewer/statname.h"

#include <QLocale>

namespace statname {

bool isStatFileName(const QString &name)
{
    return name.contains(QLatin1String(".IN"), Qt::CaseSensitive);
}

static int twoDigits(const QString &name, int at)
{
    const QChar a = name.at(at), b = name.at(at + 1);
    if (a < u'0' || a > u'9' || b < u'0' || b > u'9')
        return -1;
    return (a.unicode() - u'0') * 10 + (b.unicode() - u'0');
}

bool dateOf(const QString &name, QDate *date, QString *error)
{
    const int year = name.size() >= 8 ? twoDigits(name, 0) : -1;
    const int month = year >= 0 ? twoDigits(name, 3) : -1;
    const int day = month >= 0 ? twoDigits(name, 6) : -1;
    const QDate d(2000 + year, month, day);
    if (day < 0 || !d.isValid()) {
        if (error)
            *error = QStringLiteral("Имя файла \"%1\" не содержит верной даты").arg(name);
        return false;
    }
    *date = d;
    return true;
}

QString dateText(const QDate &date)
{
    static const QLocale russian(QLocale::Russian, QLocale::Russia);
    return QStringLiteral("%1.%2.20%3 г., %4")
        .arg(date.day())
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.year() % 100, 2, 10, QLatin1Char('0'))
        .arg(russian.dayName(date.dayOfWeek(), QLocale::LongFormat));
}

QString caption(const QString &fileName, const QString &dateText)
{
    return QStringLiteral("[") + fileName + QStringLiteral("] - Статистика за ") + dateText;
}

}  // namespace statname
