#pragma once
#include <QByteArray>
#include <QString>

// The summary as CSV: a header line, then one line per cabinet; commas
// between fields, "\n" after each line, plain ASCII.
//
// Columns: cabinet, data_minutes, no_data_minutes, t_min, t_max, t_mean,
// t_mean_deviation, t_above_minutes, t_below_minutes, the same six for
// h_, door_openings, door_minutes, heater_percent, cooler_percent,
// humidifier_percent, turning_movements, then alarm_<key>_minutes and
// alarm_<key>_episodes for every alarm bit, first_out_of_tolerance.
//
// Minutes, measured values and percentages have a decimal point and one
// decimal; counts (cabinet, openings, movements, episodes) are integers.
// Measured values and percentages are empty for a cabinet without data;
// first_out_of_tolerance is "HH:MM:SS" or empty.
namespace report {

struct DayReport;

QByteArray csv(const DayReport &report);

// Written whole or not at all; false with the reason in *message.
bool writeCsv(const DayReport &report, const QString &outFile, QString *message);

}  // namespace report
