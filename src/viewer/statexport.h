#pragma once
#include <QByteArray>
#include <QSize>
#include <QString>

struct DaySeries;
class StatDocument;

// One cabinet-day of a statistics file as CSV or as a PNG of its charts.
// The file's name must carry its date as day files do ("09-03-05.INC").
// Both write the output whole or not at all. On false, *message says why;
// on true it carries a warning for the operator when the file had damaged
// records (and is empty otherwise).
namespace statexport {

// Header "time,t_set,t_meas,h_set,h_meas,alarms,states", then one line per
// slot in which any value is not zero: "HH:MM:SS", the four values with
// three decimals (empty where the model holds 0), alarm and state words as
// 0xHHHH. Lines end in "\n".
QByteArray csv(const DaySeries &s);

// Writers for a day already built (the window's export buttons).
bool writeCsv(const DaySeries &s, const QString &outFile, QString *message);
bool writePng(const DaySeries &s, const QString &title, QSize size, const QString &outFile,
              QString *message);

bool exportCsv(const QString &statFile, int cabinet, const QString &outFile, QString *message);

constexpr QSize defaultPictureSize{1600, 900};

// The picture needs a QGuiApplication (fonts); without one it fails.
bool exportPng(const QString &statFile, int cabinet, const QString &outFile, QSize size,
               QString *message);

// File name, cabinet and date, as the pictures are titled.
QString pictureTitle(const StatDocument &doc);

// Loads a statistics file and builds the day of one cabinet.
bool openDay(const QString &statFile, int cabinet, StatDocument &doc, QString *message);

}  // namespace statexport
