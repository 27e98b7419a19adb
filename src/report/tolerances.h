#pragma once

// How far a reading may stray from its set point before the slot counts as
// out of tolerance: ±0.3 °C and ±5 % unless the operator changed them. They
// live with the program's settings.
namespace report {

struct Tolerances
{
    static constexpr double defaultTemperature = 0.3;
    static constexpr double defaultHumidity = 5.0;
    // Ranges the settings and the spin boxes accept.
    static constexpr double minTemperature = 0.05, maxTemperature = 5.0;
    static constexpr double minHumidity = 0.5, maxHumidity = 50.0;

    double temperature = defaultTemperature;   // °C
    double humidity = defaultHumidity;         // %

    // A value outside its range falls back to the default.
    static Tolerances sanitized(double temperature, double humidity);

    // From QSettings("KIVO", "Incubator"), keys report/temperatureTolerance
    // and report/humidityTolerance; a missing or unusable value gives the
    // default.
    static Tolerances load();
    void save() const;

    bool operator==(const Tolerances &) const = default;
};

}  // namespace report
