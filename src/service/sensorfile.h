#pragma once
#include <QList>
#include <QString>
#include <QStringList>

class OperatorUi;

// The sensor parameter text file: the texts of rows 12, 11, ..., 0, each
// followed by one tab, no line break, in code page 1251. Rows 13..15 are not
// kept in it.
namespace sensorfile {

constexpr int savedRows = 13;

// Where "В файл" and "Из файла" keep the file: "D:\temp\dat.txt" on Windows;
// elsewhere "dat.txt" in the system's temporary folder (QDir::tempPath(),
// /tmp on Linux), the same kind of scratch place.
QString defaultPath();

QString text(const QStringList &rows);

// What loading a file's text did to the rows.
struct Loaded
{
    QStringList rows;        // the sixteen rows, in their order
    QList<int> emptyRows;    // rows whose field was empty: left as they were
    int extraFields = 0;     // fields beyond the thirteenth: skipped
};

// Fields end at tabs and go to rows 12, 11, ... 0 in turn. After the last tab
// a rest, less a closing line break, is one more field. An empty field keeps
// its row, and fields beyond row 0 are skipped, so every row keeps its place.
Loaded apply(const QString &fileText, const QStringList &rows);

// "В файл": writes the file whole or not at all; false (told to the operator)
// when a row cannot be kept in it or the file cannot be written.
bool save(const QString &path, const QStringList &rows, OperatorUi &ui);
// "Из файла": false (told to the operator) when the file cannot be read; the
// rows are then unchanged. Skipped fields are reported too.
bool load(const QString &path, QStringList &rows, OperatorUi &ui);

}  // namespace sensorfile
