#include <QtTest>

#include "viewer/chartarea.h"
#include "viewer/chartscale.h"
#include "viewer/navigation.h"
#include "viewer/viewmapping.h"

// The numbers behind the charts: scale steps, axis bounds, slot and value
// mappings, zoom, scroll and cursor.
class TestChartMath : public QObject
{
    Q_OBJECT
private slots:
    void stepsRunOneTwoFiveFromTheFirstStep_data();
    void stepsRunOneTwoFiveFromTheFirstStep();
    void axisBoundsAreWholeStepsWidenedByTenPixels_data();
    void axisBoundsAreWholeStepsWidenedByTenPixels();
    void valuesMapToRowsTruncatingTowardZero_data();
    void valuesMapToRowsTruncatingTowardZero();
    void slotsMapToColumnsAndRectanglesToSlotRanges_data();
    void slotsMapToColumnsAndRectanglesToSlotRanges();
    void afterALoadTheWholeDayFitsAndScrollRunsZeroToOne_data();
    void afterALoadTheWholeDayFitsAndScrollRunsZeroToOne();
    void zoomingKeepsTheMiddleSlotInTheMiddle();
    void theWheelScrollsOrWithCtrlZoomsWithinRange();
    void theCursorSlotStaysWithinTheDay_data();
    void theCursorSlotStaysWithinTheDay();
    void aWiderWindowKeepsTheWholeDayReachable();
    void rescaleAdoptsTheShownRangeOnlyWhenItDiffers();
    void panelHeightsShareTheRoomLeftByTheStatePanel_data();
    void panelHeightsShareTheRoomLeftByTheStatePanel();
};

void TestChartMath::stepsRunOneTwoFiveFromTheFirstStep_data()
{
    QTest::addColumn<double>("range");
    QTest::addColumn<int>("lines");
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("step");
    QTest::newRow("0.1: a tiny range keeps the first step") << 0.05 << 1 << 0.1 << 0.1;
    QTest::newRow("0.1: then 0.2") << 0.15 << 1 << 0.1 << 0.2;
    QTest::newRow("0.1: then 0.5") << 0.3 << 1 << 0.1 << 0.5;
    QTest::newRow("0.1: then 1") << 0.7 << 1 << 0.1 << 1.0;
    QTest::newRow("0.1: then 2") << 1.5 << 1 << 0.1 << 2.0;
    QTest::newRow("0.1: then 5") << 3.0 << 1 << 0.1 << 5.0;
    QTest::newRow("0.1: then 10") << 7.0 << 1 << 0.1 << 10.0;
    QTest::newRow("0.1: then 20") << 15.0 << 1 << 0.1 << 20.0;
    QTest::newRow("1.0: a range of one line") << 1.0 << 1 << 1.0 << 1.0;
    QTest::newRow("1.0: then 2") << 1.5 << 1 << 1.0 << 2.0;
    QTest::newRow("1.0: then 5") << 3.0 << 1 << 1.0 << 5.0;
    QTest::newRow("1.0: then 10") << 7.0 << 1 << 1.0 << 10.0;
    QTest::newRow("1.0: then 20") << 15.0 << 1 << 1.0 << 20.0;
    QTest::newRow("1.0: then 50") << 30.0 << 1 << 1.0 << 50.0;
    QTest::newRow("six units over three lines is 2") << 6.0 << 3 << 1.0 << 2.0;
    QTest::newRow("a negative range keeps the first step") << -199998.0 << 6 << 0.1 << 0.1;
}

void TestChartMath::stepsRunOneTwoFiveFromTheFirstStep()
{
    QFETCH(double, range);
    QFETCH(int, lines);
    QFETCH(double, first);
    QFETCH(double, step);
    QCOMPARE(scaleStep(range, lines, first), step);
}

void TestChartMath::axisBoundsAreWholeStepsWidenedByTenPixels_data()
{
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<double>("step");
    // Humidity 50..60 on 200 px: six lines, step 2, margin 10/180*10.
    QTest::newRow("humidity 50 to 60") << 50.0 << 60.0 << 200 << 1.0 << 49.444444444444443 << 60.555555555555557 << 2.0;
    QTest::newRow("the fixed temperature range") << 37.45 << 37.6 << 262 << 0.1 << 37.39173553719008
                                                 << 37.60826446280992 << 0.1;
    QTest::newRow("temperature 37.2 to 37.9") << 37.2 << 37.9 << 200 << 0.1 << 37.15555555555556
                                              << 38.044444444444444 << 0.2;
    QTest::newRow("a day with zeros in it") << 0.0 << 37.8 << 140 << 0.1 << -3.333333333333333 << 43.333333333333336
                                            << 10.0;
    QTest::newRow("min = max = 0 gets 0.1 on top") << 0.0 << 0.0 << 200 << 0.1 << 0.0 << 0.1 << 0.1;
    QTest::newRow("a single value between steps") << 54.2 << 54.2 << 100 << 1.0 << 53.875 << 55.125 << 1.0;
    QTest::newRow("a chart of 20 pixels has no margin") << 37.0 << 38.0 << 20 << 0.1 << 37.0 << 38.0 << 1.0;
}

void TestChartMath::axisBoundsAreWholeStepsWidenedByTenPixels()
{
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(int, height);
    QFETCH(double, first);
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(double, step);
    const AxisScale a = computeAxis(min, max, height, first);
    QCOMPARE(a.step, step);
    QCOMPARE(a.low, low);
    QCOMPARE(a.high, high);
}

void TestChartMath::valuesMapToRowsTruncatingTowardZero_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("y");
    // Axis 50..60 on a 100 px chart: 10 px per unit, from the bottom.
    QTest::newRow("the low end is the bottom edge") << 50.0 << 100;
    QTest::newRow("the high end is the top edge") << 60.0 << 0;
    QTest::newRow("the middle") << 55.0 << 50;
    QTest::newRow("a fraction truncates toward zero") << 55.05 << 49;
    QTest::newRow("below the axis, rows below the chart") << 40.0 << 200;
    QTest::newRow("far above, rows above the chart") << 80.0 << -200;
}

void TestChartMath::valuesMapToRowsTruncatingTowardZero()
{
    QFETCH(double, value);
    QFETCH(int, y);
    QCOMPARE(valueToY(value, AxisScale{50, 60, 1}, 100), y);
}

void TestChartMath::slotsMapToColumnsAndRectanglesToSlotRanges_data()
{
    QTest::addColumn<int>("scroll");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::newRow("whole day on 1080 px: 8 slots a column") << 0 << 1080 << 4955 << 619 << 0 << 1080 << 0 << 8640;
    QTest::newRow("whole day on 1201 px loses the last slot to truncation")
        << 0 << 1201 << 8639 << 1200 << 0 << 1201 << 0 << 8639;
    QTest::newRow("one pixel per slot from 13:00") << 4680 << 8640 << 4955 << 275 << 100 << 600 << 4780 << 5280;
    QTest::newRow("the last page is cut at the day's end") << 8000 << 8640 << 8639 << 639 << 0 << 1600 << 8000 << 8640;
    QTest::newRow("a slot left of the view has a negative column") << 100 << 8640 << 50 << -50 << 0 << 10 << 100 << 110;
}

void TestChartMath::slotsMapToColumnsAndRectanglesToSlotRanges()
{
    QFETCH(int, scroll);
    QFETCH(int, zoom);
    QFETCH(int, slot);
    QFETCH(int, x);
    QFETCH(int, left);
    QFETCH(int, right);
    QFETCH(int, first);
    QFETCH(int, last);
    const HorizontalMap map{scroll, zoom * (1.0 / 8640)};
    QCOMPARE(map.x(slot), x);
    QCOMPARE(map.firstSlot(left), first);
    QCOMPARE(map.lastSlot(right), last);
}

void TestChartMath::afterALoadTheWholeDayFitsAndScrollRunsZeroToOne_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("1600 px") << 1600;
    QTest::newRow("1557 px") << 1557;
    QTest::newRow("an odd 1201 px") << 1201;
    QTest::newRow("777 px") << 777;
}

void TestChartMath::afterALoadTheWholeDayFitsAndScrollRunsZeroToOne()
{
    QFETCH(int, width);
    ViewNavigation nav;
    nav.setZoom(5000);
    nav.setScroll(300);
    nav.resetForLoad(width);
    QCOMPARE(nav.zoom(), width);
    QCOMPARE(nav.zoomMinimum(), width);
    QCOMPARE(nav.scroll(), 0);
    QCOMPARE(nav.scrollMaximum(), width);
    QCOMPARE(nav.pageSize(), width);
    QCOMPARE(nav.scrollPositionMaximum(), 1);
    QCOMPARE(nav.pixelsPerSample(), width * (1.0 / 8640));

    // Straight to one pixel per slot: the slots around noon fill the charts.
    QVERIFY(nav.setZoom(8640));
    QCOMPARE(nav.scroll(), (8640 - width) / 2);
    QCOMPARE(nav.scrollMaximum(), 8640);
    QCOMPARE(nav.scrollPositionMaximum(), 8640 - width + 1);
    QCOMPARE(nav.previousScrollMaximum(), 8640);
    QCOMPARE(nav.pixelsPerSample(), 1.0);
}

void TestChartMath::zoomingKeepsTheMiddleSlotInTheMiddle()
{
    ViewNavigation nav;
    nav.resetForLoad(1000);
    nav.setZoom(8640);
    QCOMPARE(nav.scroll(), 3820);
    // Slot 4320 sits at column 500. Out to 4320 px: maximum 8640 - 2000 +
    // 1000 = 7640, shift (7640 - 8640) / 2 = -500, and 3320 + 500 * 2 is
    // slot 4320 again.
    QVERIFY(nav.setZoom(4320));
    QCOMPARE(nav.scrollMaximum(), 7640);
    QCOMPARE(nav.scroll(), 3320);
    QCOMPARE(nav.map().slotAt(500), 4320);
    QVERIFY(!nav.setZoom(4320));   // no change, no redraw
    QVERIFY(nav.setZoom(999999));
    QCOMPARE(nav.zoom(), 8640);
}

void TestChartMath::theWheelScrollsOrWithCtrlZoomsWithinRange()
{
    ViewNavigation nav;
    nav.resetForLoad(1000);
    QVERIFY(nav.wheel(120, true));
    QCOMPARE(nav.zoom(), 1120);
    QVERIFY(nav.wheel(-120, true));
    QCOMPARE(nav.zoom(), 1000);
    QVERIFY(!nav.wheel(-120, true));   // already the whole day
    QCOMPARE(nav.zoom(), 1000);

    nav.setZoom(8640);
    const int p = nav.scroll();
    QVERIFY(nav.wheel(120, false));
    QCOMPARE(nav.scroll(), p + 120);   // 20 minutes later
    QVERIFY(nav.wheel(-120000, false));
    QCOMPARE(nav.scroll(), 0);
    QVERIFY(nav.wheel(120000, false));
    QCOMPARE(nav.scroll(), nav.scrollPositionMaximum());
}

void TestChartMath::theCursorSlotStaysWithinTheDay_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<int>("scroll");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("slot");
    QTest::newRow("a click at column 275 from 13:00") << 8640 << 4680 << 275 << 4955;
    QTest::newRow("whole day, a column holds 8 slots") << 1080 << 0 << 100 << 800;
    QTest::newRow("a drag left of the charts stops at slot 0") << 8640 << 50 << -200 << 0;
    QTest::newRow("the last column at the last position stops at 8639") << 8640 << 7641 << 999 << 8639;
}

void TestChartMath::theCursorSlotStaysWithinTheDay()
{
    QFETCH(int, zoom);
    QFETCH(int, scroll);
    QFETCH(int, x);
    QFETCH(int, slot);
    ViewNavigation nav;
    nav.resetForLoad(zoom == 1080 ? 1080 : 1000);
    nav.setZoom(zoom);
    nav.setScroll(scroll);
    QCOMPARE(nav.scroll(), scroll);
    nav.placeCursor(x);
    QCOMPARE(nav.cursorSlot(), slot);
}

void TestChartMath::aWiderWindowKeepsTheWholeDayReachable()
{
    ViewNavigation nav;
    nav.resetForLoad(800);
    nav.setZoom(8640);
    nav.resize(1000);
    // The scroll range still reaches the day's last slot at the right edge.
    nav.setScroll(1 << 20);
    QCOMPARE(nav.scroll() + 999, 8640);
    QCOMPARE(nav.pixelsPerSample(), 1.0);

    nav.resetForLoad(800);
    nav.resize(1200);   // the zoom rises to the new width with its factor
    QCOMPARE(nav.zoom(), 1200);
    QCOMPARE(nav.pixelsPerSample(), 1200 * (1.0 / 8640));
}

void TestChartMath::rescaleAdoptsTheShownRangeOnlyWhenItDiffers()
{
    ChartScale s{.min = 0, .max = 37.9, .pendingMin = 37.4, .pendingMax = 37.9, .axis = {}};
    QVERIFY(s.adoptPending());
    QCOMPARE(s.min, 37.4);
    QCOMPARE(s.max, 37.9);
    QVERIFY(!s.adoptPending());
}

void TestChartMath::panelHeightsShareTheRoomLeftByTheStatePanel_data()
{
    QTest::addColumn<bool>("tUp");
    QTest::addColumn<bool>("hUp");
    QTest::addColumn<bool>("sUp");
    QTest::addColumn<int>("t");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("s");
    // Client 800, scroll bar 17, ruler 55, caption 21:
    // state 236 high, room = 800 - 17 - 55 - 2 - 236 = 490.
    QTest::newRow("all down: halves") << false << false << false << 245 << 245 << 236;
    QTest::newRow("humidity up: temperature takes the rest") << false << true << false << 469 << 21 << 236;
    QTest::newRow("temperature up: humidity takes the rest") << true << false << false << 21 << 469 << 236;
    // State up counts 21 + 7: room = 800 - 17 - 55 - 2 - 28 = 698.
    QTest::newRow("state up counts its caption and seven") << false << false << true << 349 << 349 << 21;
}

void TestChartMath::panelHeightsShareTheRoomLeftByTheStatePanel()
{
    QFETCH(bool, tUp);
    QFETCH(bool, hUp);
    QFETCH(bool, sUp);
    QFETCH(int, t);
    QFETCH(int, h);
    QFETCH(int, s);
    const ChartArea::Heights r = ChartArea::panelHeights(800, 17, tUp, hUp, sUp);
    QCOMPARE(r.t, t);
    QCOMPARE(r.h, h);
    QCOMPARE(r.s, s);
}

QTEST_MAIN(TestChartMath)
#include "test_chartmath.moc"
