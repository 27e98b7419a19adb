#pragma once
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QString>

// Colours and the font of the viewer's charts, shared by the window and the
// exported pictures.
namespace chartstyle {

inline const QColor background{0xFF, 0xFF, 0xFF};
inline const QColor grid{0xC0, 0xC0, 0xC0};
inline const QColor noData{0xFF, 0xD0, 0xD0};
inline const QColor taskLine{0x00, 0x00, 0xFF};
inline const QColor measuredLine{0x00, 0x00, 0x80};   // also the state marks
inline const QColor alarmMark{0xFF, 0x00, 0x00};
inline const QColor motorUp{0xFF, 0xFF, 0x00};         // also "alarm control on"
inline const QColor motorDown{0x00, 0x80, 0x00};
inline const QColor text{0x00, 0x00, 0x00};

// A face with Cyrillic glyphs; the system's sans serif when it is missing.
QFont font();

// Writes text with its top (not its baseline) at y, as the readout and the
// axis labels are placed.
void drawTextAt(QPainter &p, int x, int top, const QString &text);

}  // namespace chartstyle
