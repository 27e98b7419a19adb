#pragma once
#include "report/summarytable.h"

#include <QColor>

// Colours of the marked cells, on the screen and on paper alike. Marked
// cells are also written in bold, for printers without colour.
namespace reportstyle {

inline const QColor outOfTolerance{0xFF, 0xE0, 0x80};   // amber
inline const QColor alarm{0xFF, 0xB0, 0xB0};            // pink
inline const QColor stripe{0xF2, 0xF2, 0xF2};           // every other row on paper
inline const QColor grid{0xA0, 0xA0, 0xA0};

inline QColor markColor(report::Mark m)
{
    return m == report::Mark::Alarm ? alarm : m == report::Mark::OutOfTolerance ? outOfTolerance : QColor();
}

}  // namespace reportstyle
