#include <QImage>
#include <QPainter>
#include <QtTest>

#include "cabinets/cabinetgridpainter.h"
#include "cabinets/cabinettable.h"

class TestCabinetTable : public QObject
{
    Q_OBJECT
private slots:
    void cellColoursFollowTheStateBits_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QColor>("fill");
        QTest::addColumn<QColor>("number");
        QTest::addColumn<QColor>("numberWhileBlinking");
        const QColor silver(192, 192, 192), green(192, 220, 192), yellow(255, 255, 0), white(255, 255, 255);
        const QColor navy(0, 0, 128), red(255, 0, 0), grey(128, 128, 128), black(0, 0, 0);
        QTest::newRow("absent") << 0 << silver << grey << grey;
        QTest::newRow("connected") << 1 << green << navy << navy;
        QTest::newRow("connected in alarm") << 2 << green << red << black;
        QTest::newRow("link code 3") << 3 << green << grey << grey;
        QTest::newRow("monitored in alarm (6)") << 6 << yellow << red << black;
        QTest::newRow("temporary alone (8)") << 8 << white << grey << grey;
        QTest::newRow("temporary wins over monitored (13)") << 13 << white << navy << navy;
        QTest::newRow("monitored without link (4)") << 4 << yellow << grey << grey;
        QTest::newRow("high bits are not used (0xF1)") << 0xF1 << green << navy << navy;
    }

    void cellColoursFollowTheStateBits()
    {
        QFETCH(int, state);
        QFETCH(QColor, fill);
        QFETCH(QColor, number);
        QFETCH(QColor, numberWhileBlinking);
        QCOMPARE(cabinetcolours::cellFill(quint8(state)), fill);
        QCOMPARE(cabinetcolours::numberColour(quint8(state), 0), number);
        QCOMPARE(cabinetcolours::numberColour(quint8(state), 1), numberWhileBlinking);
    }

    void aReportCycleClearsFirstAndEndsWithARepaint()
    {
        CabinetTable t;
        t.setState(7, 1);
        QCOMPARE(t.apply(" 0,0"), CabinetTable::Report::Stored);
        QCOMPARE(t.state(7), quint8(0));
        QCOMPARE(t.apply(" 5,1"), CabinetTable::Report::Stored);
        QCOMPARE(t.apply(" 64,0"), CabinetTable::Report::StoredAfterRepaint);
        QCOMPARE(t.state(5), quint8(1));
        for (int n = 1; n <= 30; ++n)
            if (n != 5)
                QCOMPARE(t.state(n), quint8(0));
    }

    void unreadableOrOutOfRangeReportsAreIgnored_data()
    {
        QTest::addColumn<QByteArray>("report");
        QTest::newRow("no comma") << QByteArray(" 5");
        QTest::newRow("letters") << QByteArray(" x,1");
        QTest::newRow("empty state") << QByteArray(" 5,");
        QTest::newRow("cabinet 67") << QByteArray(" 67,1");
        QTest::newRow("negative cabinet") << QByteArray(" -1,1");
        QTest::newRow("huge cabinet") << QByteArray(" 99999999999999999999,1");
    }

    void unreadableOrOutOfRangeReportsAreIgnored()
    {
        QFETCH(QByteArray, report);
        CabinetTable t;
        t.setState(5, 2);
        QCOMPARE(t.apply(report), CabinetTable::Report::Ignored);
        QCOMPARE(t.state(5), quint8(2));
    }

    void theStateIsKeptAsItsLowEightBits()
    {
        CabinetTable t;
        t.apply(" 66,261");
        QCOMPARE(t.state(66), quint8(5));
        t.apply(" 3,-1");
        QCOMPARE(t.state(3), quint8(255));
    }

    void aPointSelectsItsCabinet_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("cabinet");
        const QSize design(160, 209);
        QTest::newRow("top left") << QPoint(0, 0) << 1;
        QTest::newRow("tenth row") << QPoint(10, 190) << 10;
        QTest::newRow("bottom margin") << QPoint(10, 205) << 11;
        QTest::newRow("second column") << QPoint(60, 0) << 11;
        QTest::newRow("third column bottom") << QPoint(110, 185) << 30;
        QTest::newRow("right margin") << QPoint(159, 0) << 31;
        QTest::newRow("right margin low") << QPoint(159, 185) << 40;
    }

    void aPointSelectsItsCabinet()
    {
        QFETCH(QPoint, point);
        QFETCH(int, cabinet);
        QCOMPARE(cabinetAt(point, QSize(160, 209)), cabinet);
    }

    void theGridIsPaintedInColumnsOfTen()
    {
        CabinetTable t;
        t.apply(" 5,1");    // column 0, row 4
        t.apply(" 12,6");   // column 1, row 1
        t.apply(" 30,8");   // column 2, row 9
        QImage image(304, 404, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        paintCabinetGrid(painter, image.size(), t, 0);
        painter.end();
        // w = 100, h = 40: cell (c, r) spans x c*100+2 … c*100+101, y r*40+2 … r*40+41.
        auto fillAt = [&](int c, int r) { return image.pixelColor(c * 100 + 2 + 5, r * 40 + 2 + 36); };
        QCOMPARE(fillAt(0, 4), QColor(192, 220, 192));
        QCOMPARE(fillAt(1, 1), QColor(255, 255, 0));
        QCOMPARE(fillAt(2, 9), QColor(255, 255, 255));
        QCOMPARE(fillAt(0, 0), QColor(192, 192, 192));
        // Frames: white outside, then teal (1-20) or navy (21-30).
        QCOMPARE(image.pixelColor(2, 20), QColor(255, 255, 255));
        QCOMPARE(image.pixelColor(3, 20), QColor(0, 128, 128));
        QCOMPARE(image.pixelColor(4, 20), QColor(0, 128, 128));
        QCOMPARE(image.pixelColor(203, 20), QColor(0, 0, 128));
        // The number of cabinet 5 is drawn in navy somewhere in its cell.
        bool navyFound = false;
        for (int y = 4 * 40 + 5; y < 4 * 40 + 38 && !navyFound; ++y)
            for (int x = 5; x < 99 && !navyFound; ++x)
                navyFound = image.pixelColor(x, y) == QColor(0, 0, 128);
        QVERIFY(navyFound);
    }
};

QTEST_MAIN(TestCabinetTable)
#include "test_cabinettable.moc"
