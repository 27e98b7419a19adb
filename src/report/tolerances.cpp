#include "report/tolerances.h"

#include <QSettings>
#include <cmath>

namespace report {

namespace {

const char *const temperatureKey = "report/temperatureTolerance";
const char *const humidityKey = "report/humidityTolerance";

double inRangeOr(double value, double low, double high, double fallback)
{
    return std::isfinite(value) && value >= low && value <= high ? value : fallback;
}

double readNumber(const QSettings &settings, const char *key)
{
    bool ok = false;
    const double v = settings.value(QLatin1String(key)).toDouble(&ok);
    return ok ? v : NAN;
}

}  // namespace

Tolerances Tolerances::sanitized(double temperature, double humidity)
{
    Tolerances t;
    t.temperature = inRangeOr(temperature, minTemperature, maxTemperature, defaultTemperature);
    t.humidity = inRangeOr(humidity, minHumidity, maxHumidity, defaultHumidity);
    return t;
}

Tolerances Tolerances::load()
{
    const QSettings settings(QStringLiteral("KIVO"), QStringLiteral("Incubator"));
    return sanitized(readNumber(settings, temperatureKey), readNumber(settings, humidityKey));
}

void Tolerances::save() const
{
    QSettings settings(QStringLiteral("KIVO"), QStringLiteral("Incubator"));
    settings.setValue(QLatin1String(temperatureKey), temperature);
    settings.setValue(QLatin1String(humidityKey), humidity);
}

}  // namespace report
