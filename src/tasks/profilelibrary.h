#pragma once
#include <QByteArray>
#include <QList>

#include "tasks/linecodec.h"

// The profile library is its list of lines (header lines, each followed by its
// stage lines). These operations change the lines; the editor keeps one
// TLineFields record and passes it to every one of them.
namespace profiles {

using Lines = QList<QByteArray>;

// Writes every header anew with the total period of its stages (hours carried
// into days), going from the last line to the first.
void refreshTotals(Lines &prf, TLineFields &f);

// The last line that begins with key, or -1 (always for an empty key).
int lineForKey(const Lines &prf, QByteArrayView key);

// Index of the top-level node a line sits under: itself for a header, the
// nearest header above for a stage, -1 for a stage before the first header.
int parentHeader(const Lines &prf, int index);

// The header line index plus the number of stage lines directly after it.
int stageCountAfter(const Lines &prf, int index);

// A new header ("name - "); the next refresh gives it its totals. Returns the
// key to select with: the name as the header will keep it (its first word).
QByteArray newProfile(Lines &prf, const QByteArray &name);
QByteArray renameProfile(Lines &prf, int index, const QByteArray &name);

// The stage line built from Days, Hours, Temperature and Humidity of f.
QByteArray replaceStage(Lines &prf, int index, const TLineFields &f);
QByteArray insertStage(Lines &prf, int at, const TLineFields &f);

// Removes a stage line, or a header with the stage lines directly after it.
void removeAt(Lines &prf, int index);

}  // namespace profiles
