#pragma once
#include <QByteArrayView>
#include <QColor>
#include <array>

// The cabinets' states as the collector reports them: one byte per cabinet
// number 0 … 66. Bits 0-1 are the link code (1 connected, 2 connected in
// alarm), bit 2 monitoring, bit 3 temporary monitoring.
class CabinetTable
{
public:
    static constexpr int size = 67;
    static constexpr int shownCabinets = 30;

    enum class Report {
        Ignored,            // unreadable, or a number outside the table
        Stored,
        StoredAfterRepaint  // cabinet 64 ends a cycle: repaint first, then store
    };

    // One report, the text of a "%BOX: " line from its blank on (" n,v").
    // Cabinet 0 begins a cycle and clears the table first.
    Report apply(QByteArrayView report);

    void clear() { states_.fill(0); }
    quint8 state(int cabinet) const { return cabinet >= 0 && cabinet < size ? states_[size_t(cabinet)] : 0; }
    void setState(int cabinet, quint8 value);

private:
    std::array<quint8, size> states_{};
};

namespace cabinetcolours {
inline const QColor silver(192, 192, 192);
inline const QColor moneyGreen(192, 220, 192);
inline const QColor yellow(255, 255, 0);
inline const QColor white(255, 255, 255);
inline const QColor navy(0, 0, 128);
inline const QColor red(255, 0, 0);
inline const QColor grey(128, 128, 128);
inline const QColor black(0, 0, 0);
inline const QColor teal(0, 128, 128);

QColor cellFill(quint8 state);
QColor numberColour(quint8 state, int blinkPhase);
}  // namespace cabinetcolours
