#include "stagecheck.h"

#include <QLocale>

namespace {

QString notANumber(const QString &text)
{
    return QStringLiteral("Неверное число: «%1»").arg(text);
}

}  // namespace

StageCheck checkStage(const StageEntry &entry)
{
    StageCheck check;
    if (entry.days == 0 && entry.hours == 0) {
        check.error = QStringLiteral("Укажите период!");
        return check;
    }

    bool ok = false;
    QString typed = entry.temperature.trimmed();
    typed.replace(QLatin1Char(','), QLatin1Char('.'));
    const double t = QLocale::c().toDouble(typed, &ok);
    if (!ok) {
        check.error = notANumber(entry.temperature);
        return check;
    }
    if (!(t >= 32.0 && t <= 38.0)) {  // NaN is refused too
        check.error = QStringLiteral("Неверная температура!");
        return check;
    }

    const int humidity = entry.humidity.trimmed().toInt(&ok, 10);
    if (!ok) {
        check.error = notANumber(entry.humidity);
        return check;
    }
    if (humidity > 90 || humidity < 20) {
        check.error = QStringLiteral("Неверная влажность!");
        return check;
    }

    check.temperature = float(t);
    check.humidity = humidity;
    return check;
}

QString withDecimalComma(const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1Char('.'), QLatin1Char(','));
    return shown;
}
