#pragma once
#include <QString>

class QPagedPaintDevice;

// The summary on paper: landscape A4 pages with the date and the file name
// at the top, the table (its header repeated on every page), a legend and
// the page number at the bottom. The table's font shrinks, down to a
// readable limit, until all cabinets fit one page.
namespace report {

struct DayReport;

// Landscape A4 with margins of 10 mm at the sides, 8 mm at top and bottom.
void setUpPage(QPagedPaintDevice &device);

// Paints on a printer or PDF writer already set up; false when the device
// cannot be painted on.
bool paintReport(QPagedPaintDevice &device, const DayReport &report);

// The title line of every page: "Сводка за день 5.03.2009 г., четверг".
QString reportTitle(const DayReport &report);

// Needs a QGuiApplication (fonts). Written whole or not at all; false with
// the reason in *message.
bool writePdf(const DayReport &report, const QString &outFile, QString *message);

}  // namespace report
