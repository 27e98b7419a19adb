#include <QtTest>

#include "viewer/chartpainters.h"
#include "viewer/chartstyle.h"
#include "viewer/dayseries.h"

#include <QPainter>
#include <memory>
#include <random>

// What the painters put on the pixels: colours, rows and columns.
class TestChartPixels : public QObject
{
    Q_OBJECT
private slots:
    void slotsWithoutDataArePinkAndValuesBlueAndNavy();
    void withoutTheSetPointLineItIsNeitherDrawnNorCounted();
    void withoutAutoscaleTemperatureSettlesOnAFixedRange();
    void aMissingValueBreaksBothLines();
    void aViewWithoutDataKeepsNoRangeAndDrawsNoValueLines();
    void halfHourLinesNeedMoreThanFourTenthsOfAPixelPerSlot();
    void eachAlarmAndStateBitMarksItsRow_data();
    void eachAlarmAndStateBitMarksItsRow();
    void rowBoundariesAreSilverLines();
    void aSqueezedDayLooksAsIfEverySlotWereDrawnInTurn_data();
    void aSqueezedDayLooksAsIfEverySlotWereDrawnInTurn();
    void theRulerShowsTenMinuteLabelsAboveFourTenthsAndMinutesAboveSixTenths();

private:
    static std::unique_ptr<DaySeries> series();
};

namespace {

constexpr QRgb white = 0xFFFFFFFF;
constexpr QRgb silver = 0xFFC0C0C0;
constexpr QRgb pink = 0xFFFFD0D0;
constexpr QRgb blue = 0xFF0000FF;
constexpr QRgb navy = 0xFF000080;
constexpr QRgb red = 0xFFFF0000;
constexpr QRgb yellow = 0xFFFFFF00;
constexpr QRgb green = 0xFF008000;

HorizontalMap mapFor(int scroll, int zoom)
{
    return {scroll, zoom * (1.0 / 8640)};
}

QImage valueChart(const DaySeries &s, ValueKind kind, QSize size, const ChartOptions &o, ChartScale &scale)
{
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    paintValueChart(p, size, s, kind, o, scale);
    return img;
}

QImage stateChart(const DaySeries &s, QSize size, const HorizontalMap &map)
{
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    paintStateChart(p, size, s, map);
    return img;
}

int countInColumn(const QImage &img, int x, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        n += img.pixel(x, y) == colour;
    return n;
}

int countInRect(const QImage &img, const QRect &r, QRgb colour)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += img.pixel(x, y) == colour;
    return n;
}

}  // namespace

std::unique_ptr<DaySeries> TestChartPixels::series()
{
    return std::make_unique<DaySeries>();
}

void TestChartPixels::slotsWithoutDataArePinkAndValuesBlueAndNavy()
{
    auto s = series();
    for (int i = 0; i < 4320; ++i) {
        s->tTask[size_t(i)] = 37.5f;
        s->tMeas[size_t(i)] = 37.0f;
    }
    ChartOptions o;
    o.map = mapFor(0, 864);   // ten slots a column
    ChartScale scale{.min = 37.0, .max = 37.5, .pendingMin = 0, .pendingMax = 0, .axis = {}};
    const QImage img = valueChart(*s, ValueKind::Temperature, QSize(864, 200), o, scale);

    const int ySet = valueToY(37.5, scale.axis, 200), yMeas = valueToY(37.0, scale.axis, 200);
    QCOMPARE(img.pixel(100, ySet), blue);
    QCOMPARE(img.pixel(100, yMeas), navy);
    QCOMPARE(img.pixel(100, (ySet + yMeas) / 2), white);
    // The afternoon has no data: every pixel of its columns is pink.
    QCOMPARE(countInColumn(img, 432, pink), 200);
    QCOMPARE(countInColumn(img, 863, pink), 200);
    QCOMPARE(countInColumn(img, 431, pink), 0);
    // Hour lines in silver where no value line crosses them.
    QCOMPARE(img.pixel(36, 5), silver);
    QCOMPARE(img.pixel(37, 5), white);
    QCOMPARE(scale.pendingMin, 37.0);
    QCOMPARE(scale.pendingMax, 37.5);
}

void TestChartPixels::withoutTheSetPointLineItIsNeitherDrawnNorCounted()
{
    auto s = series();
    for (int i = 0; i < 8640; ++i) {
        s->hTask[size_t(i)] = i == 2000 ? 0.0f : 70.0f;
        s->hMeas[size_t(i)] = 50.0f;
    }
    ChartOptions o;
    o.map = mapFor(0, 8640);
    o.showTask = false;
    ChartScale scale{.min = 50, .max = 70, .pendingMin = 0, .pendingMax = 0, .axis = {}};
    const QImage img = valueChart(*s, ValueKind::Humidity, QSize(4000, 300), o, scale);
    QCOMPARE(countInRect(img, img.rect(), blue), 0);
    QCOMPARE(img.pixel(500, valueToY(50, scale.axis, 300)), navy);
    QCOMPARE(countInColumn(img, 2000, pink), 300);   // a missing set point is still no data
    QCOMPARE(scale.pendingMin, 50.0);
    QCOMPARE(scale.pendingMax, 50.0);
}

void TestChartPixels::withoutAutoscaleTemperatureSettlesOnAFixedRange()
{
    auto s = series();
    for (int i = 0; i < 8640; ++i) {
        s->tTask[size_t(i)] = s->hTask[size_t(i)] = 30.0f;
        s->tMeas[size_t(i)] = s->hMeas[size_t(i)] = 40.0f;
    }
    ChartOptions o;
    o.map = mapFor(0, 1000);
    o.autoScale = false;
    ChartScale t{.min = 30, .max = 40, .pendingMin = 0, .pendingMax = 0, .axis = {}};
    ChartScale h = t;
    valueChart(*s, ValueKind::Temperature, QSize(1000, 200), o, t);
    valueChart(*s, ValueKind::Humidity, QSize(1000, 200), o, h);
    QCOMPARE(t.pendingMin, 37.45);
    QCOMPARE(t.pendingMax, 37.6);
    QCOMPARE(h.pendingMin, 30.0);   // humidity still fits its values
    QCOMPARE(h.pendingMax, 40.0);
}

void TestChartPixels::aMissingValueBreaksBothLines()
{
    auto s = series();
    for (int i = 0; i < 300; ++i) {
        if (i >= 100 && i < 200)
            continue;
        s->tTask[size_t(i)] = 37.5f;
        s->tMeas[size_t(i)] = i < 100 ? 37.0f : 38.0f;
    }
    ChartOptions o;
    o.map = mapFor(0, 8640);
    ChartScale scale{.min = 37, .max = 38, .pendingMin = 0, .pendingMax = 0, .axis = {}};
    const QImage img = valueChart(*s, ValueKind::Temperature, QSize(400, 200), o, scale);
    for (int x = 100; x < 200; ++x)
        QCOMPARE(countInColumn(img, x, pink), 200);
    QCOMPARE(countInColumn(img, 99, navy), 1);
    QCOMPARE(img.pixel(99, valueToY(37.0, scale.axis, 200)), navy);
    QCOMPARE(img.pixel(200, valueToY(38.0, scale.axis, 200)), navy);
    QCOMPARE(countInColumn(img, 200, navy), 1);   // no segment comes in from the left
}

void TestChartPixels::aViewWithoutDataKeepsNoRangeAndDrawsNoValueLines()
{
    auto s = series();
    ChartOptions o;
    o.map = mapFor(0, 600);
    ChartScale scale{.min = 99999, .max = -99999, .pendingMin = 1, .pendingMax = 2, .axis = {}};
    const QImage img = valueChart(*s, ValueKind::Humidity, QSize(600, 150), o, scale);
    QCOMPARE(scale.pendingMin, 99999.0);
    QCOMPARE(scale.pendingMax, -99999.0);
    QCOMPARE(countInRect(img, img.rect(), pink), 600 * 150);
}

void TestChartPixels::halfHourLinesNeedMoreThanFourTenthsOfAPixelPerSlot()
{
    auto s = series();
    s->tTask.fill(20.0f);
    s->tMeas.fill(20.0f);
    ChartOptions o;
    ChartScale scale{.min = 20, .max = 20, .pendingMin = 0, .pendingMax = 0, .axis = {}};
    o.map = mapFor(0, 3456);   // exactly 0.4
    // Column 70 has only what crosses every column: the value grid.
    QImage img = valueChart(*s, ValueKind::Temperature, QSize(1000, 100), o, scale);
    const int across = countInColumn(img, 70, silver);
    QCOMPARE(countInColumn(img, 72, silver), across);   // slot 180
    QVERIFY(countInColumn(img, 144, silver) > 90);   // slot 360, the hour
    o.map = mapFor(0, 3457);
    img = valueChart(*s, ValueKind::Temperature, QSize(1000, 100), o, scale);
    const int dots = countInColumn(img, 72, silver) - across;
    QVERIFY2(dots > 10 && dots < 90, qPrintable(QString::number(dots)));
}

void TestChartPixels::eachAlarmAndStateBitMarksItsRow_data()
{
    QTest::addColumn<int>("alarms");
    QTest::addColumn<int>("states");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("from");   // rows relative to the row's centre line, to exclusive
    QTest::addColumn<int>("to");
    QTest::addColumn<QRgb>("colour");
    QTest::newRow("alarm -45 contact below row 0") << 0x0008 << 0 << 0 << 1 << 5 << red;
    QTest::newRow("alarm 0 contact below row 1") << 0x0010 << 0 << 1 << 1 << 5 << red;
    QTest::newRow("alarm +45 contact below row 2") << 0x0020 << 0 << 2 << 1 << 5 << red;
    QTest::newRow("door alarm below row 3") << 0x0002 << 0 << 3 << 1 << 5 << red;
    QTest::newRow("heater alarm below row 4") << 0x0040 << 0 << 4 << 1 << 5 << red;
    QTest::newRow("cooler alarm below row 5") << 0x0080 << 0 << 5 << 1 << 5 << red;
    QTest::newRow("humidifier alarm below row 6") << 0x0100 << 0 << 6 << 1 << 5 << red;
    QTest::newRow("ventilation alarm below row 8") << 0x0004 << 0 << 8 << 1 << 5 << red;
    QTest::newRow("no +12 V fills row 9") << 0x0001 << 0 << 9 << -4 << 5 << red;
    QTest::newRow("no mains fills row 10") << 0x0200 << 0 << 10 << -4 << 5 << red;
    QTest::newRow("sensor alarm fills row 11") << 0x0400 << 0 << 11 << -4 << 5 << red;
    QTest::newRow("-45 contact closed above row 0") << 0 << 0x0008 << 0 << -4 << 0 << navy;
    QTest::newRow("0 contact closed above row 1") << 0 << 0x0010 << 1 << -4 << 0 << navy;
    QTest::newRow("+45 contact closed above row 2") << 0 << 0x0020 << 2 << -4 << 0 << navy;
    QTest::newRow("door open above row 3") << 0 << 0x0001 << 3 << -4 << 0 << navy;
    QTest::newRow("heater on above row 4") << 0 << 0x0040 << 4 << -4 << 0 << navy;
    QTest::newRow("cooler on above row 5") << 0 << 0x0080 << 5 << -4 << 0 << navy;
    QTest::newRow("humidifier on above row 6") << 0 << 0x0100 << 6 << -4 << 0 << navy;
    QTest::newRow("motor moving down fills row 7 green") << 0 << 0x0002 << 7 << -4 << 5 << green;
    QTest::newRow("motor moving up fills row 7 yellow") << 0 << 0x0006 << 7 << -4 << 5 << yellow;
    QTest::newRow("ventilation on above row 8") << 0 << 0x0400 << 8 << -4 << 0 << navy;
    QTest::newRow("alarm control fills row 12 yellow") << 0 << 0x0200 << 12 << -4 << 5 << yellow;
    QTest::newRow("unlisted bits and a direction without motion draw nothing")
        << 0xF800 << 0xF804 << -1 << 0 << 0 << white;
}

void TestChartPixels::eachAlarmAndStateBitMarksItsRow()
{
    QFETCH(int, alarms);
    QFETCH(int, states);
    QFETCH(int, row);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QRgb, colour);
    auto s = series();
    s->tMeas.fill(37.0f);
    s->hMeas.fill(55.0f);
    s->alarmBits[50] = quint16(alarms);
    s->stateBits[50] = quint16(states);
    // 13 rows of exactly 16 px: centre lines at 8 + 16 k.
    const QImage img = stateChart(*s, QSize(100, 208), mapFor(0, 8640));
    const int centre = 8 + 16 * row;
    for (int y = 0; y < 208; ++y) {
        const bool boundary = y % 16 == 0;
        const bool marked = row >= 0 && y >= centre + from && y < centre + to;
        const QRgb expected = marked ? colour : boundary ? silver : white;
        QVERIFY2(img.pixel(50, y) == expected,
                 qPrintable(QStringLiteral("row %1: %2 instead of %3").arg(y).arg(img.pixel(50, y), 8, 16).arg(expected, 8, 16)));
    }
    QCOMPARE(countInColumn(img, 49, white) + countInColumn(img, 49, silver), 208);
}

void TestChartPixels::rowBoundariesAreSilverLines()
{
    auto s = series();
    s->tMeas.fill(37.0f);
    s->hMeas.fill(55.0f);
    // 200 / 13 = 15.38...: boundaries at trunc(k * 15.38 + 0.5).
    const QImage img = stateChart(*s, QSize(300, 200), mapFor(30, 8640));
    const QList<int> rows{0, 15, 31, 46, 62, 77, 92, 108, 123, 138, 154, 169, 185};
    for (int y = 0; y < 200; ++y)
        QCOMPARE(img.pixel(10, y) == silver, rows.contains(y));
    QCOMPARE(countInRect(img, QRect(0, 15, 300, 1), silver), 300);
}

// The plain way to draw the state chart: every slot in turn, every mark.
static QImage referenceStateChart(const DaySeries &s, QSize size, const HorizontalMap &map)
{
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    const int W = size.width(), H = size.height();
    p.fillRect(img.rect(), white);
    const double rowH = H / 13.0;
    const int pitch = int(rowH), c = int(rowH * 0.5);
    auto line = [&](int x, int y0, int y1, QRgb colour) { p.fillRect(QRect(x, y0, 1, y1 - y0), QColor(colour)); };
    auto below = [&](int x, int row, QRgb col) { line(x, c + pitch * row + 1, c + pitch * row + 5, col); };
    auto above = [&](int x, int row, QRgb col) { line(x, c + pitch * row - 4, c + pitch * row, col); };
    auto full = [&](int x, int row, QRgb col) { line(x, c + pitch * row - 4, c + pitch * row + 5, col); };
    int lastGrid = -1, lastNoData = -1;
    for (int i = map.firstSlot(0); i < map.lastSlot(W); ++i) {
        const int x = map.x(i);
        if (x > W)
            break;
        if (i % 360 == 0 && x != lastGrid) {
            lastGrid = x;
            line(x, 0, H, silver);
        } else if (i % 360 == 180 && map.pixelsPerSample > 0.4 && x != lastGrid) {
            lastGrid = x;
            p.setPen(QPen(QColor(silver), 1, Qt::DotLine));
            p.drawLine(x, 0, x, H - 1);
        }
        if ((s.hMeas[size_t(i)] == 0 || s.tMeas[size_t(i)] == 0) && x != lastNoData) {
            lastNoData = lastGrid = x;
            line(x, 0, H, pink);
        }
        const unsigned a = s.alarmBits[size_t(i)], st = s.stateBits[size_t(i)];
        const int alarmBit[11] = {3, 4, 5, 1, 6, 7, 8, 2, 0, 9, 10};
        const int alarmRow[11] = {0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11};
        for (int k = 0; k < 11; ++k)
            if (a & (1u << alarmBit[k]))
            {
                if (k < 8)
                    below(x, alarmRow[k], red);
                else
                    full(x, alarmRow[k], red);
            }
        const int stateBit[7] = {3, 4, 5, 0, 6, 7, 8};
        for (int k = 0; k < 7; ++k)
            if (st & (1u << stateBit[k]))
                above(x, k, navy);
        if (st & 0x0002)
            full(x, 7, (st & 0x0004) ? yellow : green);
        if (st & 0x0400)
            above(x, 8, navy);
        if (st & 0x0200)
            full(x, 12, yellow);
    }
    for (double r = 0; r < H; r += rowH)
        p.fillRect(QRect(0, int(r + 0.5), W, 1), QColor(silver));
    return img;
}

void TestChartPixels::aSqueezedDayLooksAsIfEverySlotWereDrawnInTurn_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<int>("scroll");
    QTest::addColumn<int>("height");
    QTest::newRow("whole day, rows overlapping") << 900 << 0 << 60;
    QTest::newRow("whole day, roomy rows") << 900 << 0 << 214;
    QTest::newRow("two slots a column with half-hour lines") << 4000 << 2000 << 130;
    QTest::newRow("one slot a column") << 8640 << 4000 << 100;
}

void TestChartPixels::aSqueezedDayLooksAsIfEverySlotWereDrawnInTurn()
{
    QFETCH(int, zoom);
    QFETCH(int, scroll);
    QFETCH(int, height);
    auto s = series();
    std::mt19937 rng(7);
    for (size_t i = 0; i < 8640; ++i) {
        s->tMeas[i] = rng() % 17 ? 37.0f : 0.0f;
        s->hMeas[i] = rng() % 23 ? 55.0f : 0.0f;
        s->alarmBits[i] = quint16(rng() % 4 ? 0 : rng());
        s->stateBits[i] = quint16(rng());
    }
    const HorizontalMap map = mapFor(scroll, zoom);
    const QImage fast = stateChart(*s, QSize(900, height), map);
    const QImage plain = referenceStateChart(*s, QSize(900, height), map);
    QCOMPARE(fast, plain);
}

void TestChartPixels::theRulerShowsTenMinuteLabelsAboveFourTenthsAndMinutesAboveSixTenths()
{
    auto ruler = [](int zoom) {
        QImage img(1043, 55, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.setFont(chartstyle::font());
        p.setPen(Qt::black);
        paintTimeRuler(p, img.size(), mapFor(0, zoom), 43);
        return img;
    };
    auto inked = [](const QImage &img, const QRect &r) {
        return countInRect(img, r, white) < r.width() * r.height();
    };
    // Slot 60 (00:10) and slot 6 (00:01), each 43 px right of its column.
    const QImage at04 = ruler(3456), above04 = ruler(3457), at06 = ruler(5184), above06 = ruler(5185);
    const int x10 = 43 + 24, x01at06 = 43 + 3;
    QVERIFY(!inked(at04, QRect(x10 - 8, 16, 17, 12)));         // no "10"
    QVERIFY(inked(above04, QRect(x10 - 8, 16, 17, 12)));       // "10"
    QCOMPARE(at04.pixel(x10, 54), 0xFF000000u);                // its tick all the same
    QCOMPARE(at04.pixel(x10, 55 - 55 / 3), 0xFF000000u);
    QCOMPARE(at04.pixel(x10, 55 - 55 / 3 - 1), white);
    QCOMPARE(at06.pixel(x01at06, 50), white);                  // no minute tick
    QCOMPARE(above06.pixel(x01at06, 50), 0xFF000000u);
    QCOMPARE(above06.pixel(x01at06, 44), white);               // ten pixels high
    // The hour tick runs the full height, the half hour from the middle.
    QCOMPARE(at04.pixel(43, 40), 0xFF000000u);
    QCOMPARE(at04.pixel(43 + 72, 26), white);
    QCOMPARE(at04.pixel(43 + 72, 27), 0xFF000000u);
}

QTEST_MAIN(TestChartPixels)
#include "test_chartpixels.moc"
