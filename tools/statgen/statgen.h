#pragma once
#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <cstdint>

// Realistic day statistics files for the viewer, the simulator's
// demonstration card and the benchmarks. Each cabinet follows its incubation
// stage: set points, a heater and a humidifier cycling around them with noise,
// door openings, hourly turning of the trays, ventilation, an occasional
// alarm; the collector now and then writes nothing for a while. The same
// options always give the same bytes.
namespace statgen {

struct Options
{
    QDate date;
    QList<int> cabinets;     // 1..63, each once
    uint32_t seed = 1;
    bool gaps = true;        // periods without records
};

// The whole file image: one record per ten-second slot that is not in a gap.
QByteArray generateDay(const Options &options);

// Day files are named "YY-MM-DD.INC" (two-digit year, month and day).
QString dayFileName(const QDate &date);

// "1-10,15" -> 1..10 and 15. Numbers must lie in 1..63; duplicates are
// dropped, the order is ascending.
bool parseCabinets(const QString &text, QList<int> *cabinets, QString *error);

}  // namespace statgen
