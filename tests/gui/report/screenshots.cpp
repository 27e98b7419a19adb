// Shows the day's summary of a generated day and saves what it looks like:
//   report_screenshots [output folder]   (default: screenshots/)
// writes summary-view.png, summary-opened-cabinet.png, summary.pdf and
// summary.csv. Run it headless with QT_QPA_PLATFORM=offscreen; turn the PDF
// into a picture with pdftoppm.
#include "report/daysummaryview.h"
#include "report/summarymodel.h"
#include "statgen.h"
#include "support/screenshots.h"
#include "viewer/tviewer.h"

#include <QApplication>
#include <QDir>
#include <QSaveFile>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString outDir = screenshots::folder(argc, argv);
    // The program's own settings stay untouched.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());

    QTemporaryDir cache;
    statgen::Options options;
    statgen::parseCabinets(QStringLiteral("1-63"), &options.cabinets, nullptr);
    options.seed = 5;
    options.date = QDate(2009, 3, 5);
    {
        QSaveFile f(cache.filePath(statgen::dayFileName(options.date)));
        if (!f.open(QIODevice::WriteOnly) || f.write(statgen::generateDay(options)) < 0 || !f.commit())
            return 1;
    }

    TViewer viewer;
    viewer.setCacheFolder(cache.path());
    viewer.resize(1600, 900);
    viewer.openFile(QStringLiteral("09-03-05.INC"));
    viewer.findChild<QToolButton *>(QStringLiteral("summary"))->click();
    DaySummaryView *view = viewer.summaryView();
    view->resize(1600, 900);
    QTest::qWait(300);
    bool ok = screenshots::save(*view, outDir + QStringLiteral("/summary-view.png"));

    // Double click on cabinet 7's row.
    auto *table = view->findChild<QTableView *>(QStringLiteral("summaryTable"));
    const QModelIndex row = table->model()->index(6, 2);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(row).center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(row).center());
    QTest::qWait(500);
    ok = screenshots::save(viewer, outDir + QStringLiteral("/summary-opened-cabinet.png")) && ok;

    ok = view->savePdf(outDir + QStringLiteral("/summary.pdf")) && ok;
    ok = view->saveCsv(outDir + QStringLiteral("/summary.csv")) && ok;
    return ok ? 0 : 1;
}
