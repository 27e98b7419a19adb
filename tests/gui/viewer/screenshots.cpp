// Shows the viewer on a generated day and saves what it looks like:
//   viewer_screenshots [output folder]   (default: screenshots/)
// Run it headless with QT_QPA_PLATFORM=offscreen.
#include "statgen.h"
#include "support/screenshots.h"
#include "viewer/statexport.h"
#include "viewer/tviewer.h"

#include <QApplication>
#include <QDir>
#include <QSaveFile>
#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cstdio>

static void settle(int ms)
{
    QTest::qWait(ms);
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString outDir = screenshots::folder(argc, argv);

    QTemporaryDir cache;
    statgen::Options options;
    statgen::parseCabinets(QStringLiteral("1-12,20,33"), &options.cabinets, nullptr);
    options.seed = 5;
    for (int d = 4; d <= 6; ++d) {
        options.date = QDate(2009, 3, d);
        QSaveFile f(cache.filePath(statgen::dayFileName(options.date)));
        if (!f.open(QIODevice::WriteOnly) || f.write(statgen::generateDay(options)) < 0 || !f.commit())
            return 1;
    }

    TViewer viewer;
    viewer.setCacheFolder(cache.path());
    viewer.resize(1600, 900);
    viewer.openFile(QStringLiteral("09-03-05.INC"), 3);
    settle(700);
    bool ok = screenshots::save(viewer, outDir + QStringLiteral("/viewer-day.png"));

    // Zoom in around 14:00 and place the cursor.
    auto *zoom = viewer.findChild<QSlider *>(QStringLiteral("zoom"));
    auto *scroll = viewer.findChild<QScrollBar *>(QStringLiteral("scroll"));
    zoom->setValue(8640);
    scroll->setValue(14 * 360 - 200);
    settle(500);
    auto *temp = viewer.findChild<QWidget *>(QStringLiteral("temp"));
    QTest::mouseClick(temp, Qt::LeftButton, {}, QPoint(700, 20));
    ok = screenshots::save(viewer, outDir + QStringLiteral("/viewer-zoomed.png")) && ok;

    // Without autoscale: the fixed temperature range, three decimals.
    viewer.findChild<QToolButton *>(QStringLiteral("AA"))->click();
    viewer.findChild<QWidget *>(QStringLiteral("cursorPanel"))->update();
    settle(500);
    ok = screenshots::save(viewer, outDir + QStringLiteral("/viewer-fixed-range.png")) && ok;

    QString message;
    ok = statexport::exportPng(cache.filePath(QStringLiteral("09-03-05.INC")), 3,
                               outDir + QStringLiteral("/export-day.png"), statexport::defaultPictureSize, &message)
         && ok;
    if (!message.isEmpty())
        std::printf("%s\n", qPrintable(message));
    return ok ? 0 : 1;
}
