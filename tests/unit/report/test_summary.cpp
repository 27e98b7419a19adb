#include <QtTest>

#include "statgen.h"
#include "summaryfixture.h"
#include "viewer/statformat.h"

#include <cmath>

Q_DECLARE_METATYPE(TestBlock)

using report::CabinetSummary;
using report::Tolerances;

// The figures of one cabinet's day on hand-built files with known answers.
// Every case is computed in one pass over the file and from the day model.
class TestSummary : public QObject
{
    Q_OBJECT
private slots:
    void readingsSteppingInAndOutOfToleranceCountAboveAndBelow_data();
    void readingsSteppingInAndOutOfToleranceCountAboveAndBelow();
    void minimumMaximumMeanAndMeanDeviationCoverSlotsWithData();
    void aSetPointChangeAtNoonIsMeasuredAgainstEachSlotsOwnSetPoint();
    void alarmEpisodesAreRunsOfConsecutiveSlots_data();
    void alarmEpisodesAreRunsOfConsecutiveSlots();
    void everyAlarmBitIsCountedOnItsOwn();
    void doorsOpenedThreeTimesIncludingAtMidnightAndTheLastSlot();
    void aHeaterOnForAQuarterOfTheDayHasAQuarterDuty();
    void dutyIsAShareOfTheSlotsWithDataOnly();
    void motorStartsCountTurningMovements();
    void aSlotHasDataOnlyWithBothSetPointsAndBothReadings_data();
    void aSlotHasDataOnlyWithBothSetPointsAndBothReadings();
    void aGapWithoutRecordsIsTimeWithoutData();
    void laterRecordsOfASlotOverwriteAsInTheDayModel();
    void recordsRunningBackwardsInTimeStillMatchTheDayModel();
    void aCabinetListedTwiceInARecordCountsItsFirstBlock();
    void aGeneratedDayGivesTheSameSummaryBothWays_data();
    void aGeneratedDayGivesTheSameSummaryBothWays();
    void everyCabinetOfTheFileGetsARowInAscendingOrder();
};

// Slots 0.. of cabinet 1 with set point 37.5 °C / 55 % and the given readings.
static QByteArray temperatureRun(const QList<float> &readings, float setPoint = 37.5f)
{
    DayFileBuilder f;
    for (int i = 0; i < readings.size(); ++i) {
        TestBlock b = steady(1, setPoint);
        b.tSum = readings[i];
        f.record(timeOfSlot(i), {b});
    }
    return f.bytes;
}

void TestSummary::readingsSteppingInAndOutOfToleranceCountAboveAndBelow_data()
{
    QTest::addColumn<QList<float>>("readings");
    QTest::addColumn<float>("setPoint");
    QTest::addColumn<double>("tolerance");
    QTest::addColumn<int>("above");
    QTest::addColumn<int>("below");
    QTest::addColumn<int>("first");

    QTest::newRow("0.4 above and 0.4 below the set point are out of ±0.3")
        << QList<float>{37.5f, 37.9f, 37.9f, 37.5f, 37.1f, 37.1f, 37.1f, 37.5f} << 37.5f << 0.3 << 2 << 3 << 1;
    QTest::newRow("exactly the tolerance away is within it")
        << QList<float>{37.8f, 37.2f, 37.5f} << 37.5f << 0.3 << 0 << 0 << -1;
    // As floats, 37.4 - 37.1 is 0.3000031 and 37.9 - 37.6 as well.
    QTest::newRow("exactly the tolerance away is within it, though the floats differ by more")
        << QList<float>{37.4f, 36.8f} << 37.1f << 0.3 << 0 << 0 << -1;
    QTest::newRow("a hundredth beyond the tolerance is out")
        << QList<float>{37.81f, 37.19f} << 37.5f << 0.3 << 1 << 1 << 0;
    QTest::newRow("a wider tolerance takes the same readings in")
        << QList<float>{37.5f, 37.9f, 37.9f, 37.5f, 37.1f} << 37.5f << 0.5 << 0 << 0 << -1;
    QTest::newRow("the first slot of the day can be the first out")
        << QList<float>{38.0f, 37.5f, 36.9f} << 37.5f << 0.3 << 1 << 1 << 0;
}

void TestSummary::readingsSteppingInAndOutOfToleranceCountAboveAndBelow()
{
    QFETCH(QList<float>, readings);
    QFETCH(float, setPoint);
    QFETCH(double, tolerance);
    QFETCH(int, above);
    QFETCH(int, below);
    QFETCH(int, first);
    Tolerances t;
    t.temperature = tolerance;
    const CabinetSummary s = summaryOf(temperatureRun(readings, setPoint), 1, t);
    QCOMPARE(s.temperature.aboveSlots, above);
    QCOMPARE(s.temperature.belowSlots, below);
    QCOMPARE(s.firstOutOfToleranceSlot, first);
    QCOMPARE(s.humidity.aboveSlots + s.humidity.belowSlots, 0);
    QCOMPARE(s.dataSlots, int(readings.size()));
}

void TestSummary::minimumMaximumMeanAndMeanDeviationCoverSlotsWithData()
{
    // Temperature 37.0, 38.0, 37.6 on a set point of 37.5; humidity 50 and
    // 62 on 55 (third slot without a humidity reading: no data at all).
    DayFileBuilder f;
    TestBlock a = steady(1), b = steady(1), c = steady(1);
    a.tSum = 37.0f;
    a.hSum = 50.0f;
    b.tSum = 38.0f;
    b.hSum = 62.0f;
    c.tSum = 20.0f;   // would be the minimum, but the slot has no humidity
    c.hCount = 0;
    f.record(timeOfSlot(10), {a}).record(timeOfSlot(11), {b}).record(timeOfSlot(12), {c});
    Tolerances wide;
    wide.temperature = 5;
    const CabinetSummary s = summaryOf(f.bytes, 1, wide);
    QCOMPARE(s.dataSlots, 2);
    QCOMPARE(s.temperature.min, 37.0);
    QCOMPARE(s.temperature.max, 38.0);
    QCOMPARE(s.temperature.mean(s.dataSlots), 37.5);
    QCOMPARE(s.temperature.meanDeviation(s.dataSlots), 0.0);
    QCOMPARE(s.humidity.min, 50.0);
    QCOMPARE(s.humidity.max, 62.0);
    QCOMPARE(s.humidity.meanDeviation(s.dataSlots), 1.0);
    QCOMPARE(s.humidity.aboveSlots, 1);   // +7 is beyond ±5, -5 exactly is within
    QCOMPARE(s.humidity.belowSlots, 0);
    QCOMPARE(s.firstOutOfToleranceSlot, 11);
}

void TestSummary::aSetPointChangeAtNoonIsMeasuredAgainstEachSlotsOwnSetPoint()
{
    // The cabinet holds 37.5 °C all day; its task drops to 37.0 at 12:00.
    DayFileBuilder f;
    for (int slot = 0; slot < 8640; ++slot) {
        TestBlock b = steady(4, slot < 4320 ? 37.5f : 37.0f);
        b.tSum = 37.5f;
        f.record(timeOfSlot(slot), {b});
    }
    const CabinetSummary s = summaryOf(f.bytes, 4);
    QCOMPARE(s.dataSlots, 8640);
    QCOMPARE(s.temperature.aboveSlots, 4320);
    QCOMPARE(report::slotsToMinutes(s.temperature.aboveSlots), 720.0);
    QCOMPARE(s.temperature.belowSlots, 0);
    QCOMPARE(s.firstOutOfToleranceSlot, 4320);
    QCOMPARE(s.temperature.meanDeviation(s.dataSlots), 0.25);
}

void TestSummary::alarmEpisodesAreRunsOfConsecutiveSlots_data()
{
    QTest::addColumn<QList<int>>("alarmSlots");   // slots with the heater alarm (bit 6)
    QTest::addColumn<QList<int>>("missing");      // slots without a record
    QTest::addColumn<int>("alarmed");
    QTest::addColumn<int>("episodes");

    QTest::newRow("two separate runs are two episodes")
        << QList<int>{100, 101, 102, 103, 104, 105, 200, 201, 202} << QList<int>{} << 9 << 2;
    QTest::newRow("slots next to each other are one episode") << QList<int>{5, 6, 7} << QList<int>{} << 3 << 1;
    QTest::newRow("an alarm from midnight and one to the last slot")
        << QList<int>{0, 1, 8638, 8639} << QList<int>{} << 4 << 2;
    QTest::newRow("a slot without a record splits a run")
        << QList<int>{50, 51, 53, 54} << QList<int>{52} << 4 << 2;
    QTest::newRow("one slot alone is one episode") << QList<int>{4000} << QList<int>{} << 1 << 1;
}

void TestSummary::alarmEpisodesAreRunsOfConsecutiveSlots()
{
    QFETCH(QList<int>, alarmSlots);
    QFETCH(QList<int>, missing);
    QFETCH(int, alarmed);
    QFETCH(int, episodes);
    DayFileBuilder f;
    for (int slot = 0; slot < 8640; ++slot) {
        if (missing.contains(slot))
            continue;
        TestBlock b = steady(9);
        if (alarmSlots.contains(slot))
            b.alarms = 0x0040;
        f.record(timeOfSlot(slot), {b});
    }
    const CabinetSummary s = summaryOf(f.bytes, 9);
    QCOMPARE(s.alarmSlots[6], alarmed);
    QCOMPARE(s.alarmEpisodes[6], episodes);
    QCOMPARE(s.alarmSlotsTotal(), alarmed);
}

void TestSummary::everyAlarmBitIsCountedOnItsOwn()
{
    // Slot k carries alarm bit k (0..10) for k + 1 slots; bits above 10 are
    // not alarms of the report.
    DayFileBuilder f;
    int slot = 0;
    for (int bit = 0; bit < 16; ++bit) {
        for (int i = 0; i <= bit; ++i) {
            TestBlock b = steady(2);
            b.alarms = quint16(1u << bit);
            f.record(timeOfSlot(slot++), {b});
        }
        f.record(timeOfSlot(slot++), {steady(2)});
    }
    const CabinetSummary s = summaryOf(f.bytes, 2);
    for (int bit = 0; bit < 11; ++bit) {
        QCOMPARE(s.alarmSlots[size_t(bit)], bit + 1);
        QCOMPARE(s.alarmEpisodes[size_t(bit)], 1);
    }
    QCOMPARE(s.alarmSlotsTotal(), 66);
}

void TestSummary::doorsOpenedThreeTimesIncludingAtMidnightAndTheLastSlot()
{
    auto open = [](int slot) { return slot < 6 || (slot >= 3000 && slot < 3012) || slot >= 8630; };
    DayFileBuilder f;
    for (int slot = 0; slot < 8640; ++slot) {
        TestBlock b = steady(3);
        b.states = open(slot) ? 0x0201 : 0x0200;   // alarm control on all day
        f.record(timeOfSlot(slot), {b});
    }
    const CabinetSummary s = summaryOf(f.bytes, 3);
    QCOMPARE(s.doorOpenings, 3);
    QCOMPARE(s.doorSlots, 28);
    QCOMPARE(report::slotsToMinutes(s.doorSlots), 28 / 6.0);
}

void TestSummary::aHeaterOnForAQuarterOfTheDayHasAQuarterDuty()
{
    DayFileBuilder f;
    for (int slot = 0; slot < 8640; ++slot) {
        TestBlock b = steady(5);
        if (slot % 4 == 0)
            b.states |= 0x0040;   // heater
        if (slot < 4320)
            b.states |= 0x0100;   // humidifier in the morning
        f.record(timeOfSlot(slot), {b});
    }
    const CabinetSummary s = summaryOf(f.bytes, 5);
    QCOMPARE(s.dutyPercent(s.heaterSlots), 25.0);
    QCOMPARE(s.dutyPercent(s.humidifierSlots), 50.0);
    QCOMPARE(s.dutyPercent(s.coolerSlots), 0.0);
}

void TestSummary::dutyIsAShareOfTheSlotsWithDataOnly()
{
    // 100 slots with data, heater on in 30 of them; 50 more slots with the
    // heater on but no set point do not count.
    DayFileBuilder f;
    for (int slot = 0; slot < 150; ++slot) {
        TestBlock b = steady(6);
        if (slot < 30 || slot >= 100)
            b.states = 0x0040;
        if (slot >= 100)
            b.tSet = 0;
        f.record(timeOfSlot(slot), {b});
    }
    const CabinetSummary s = summaryOf(f.bytes, 6);
    QCOMPARE(s.dataSlots, 100);
    QCOMPARE(s.heaterSlots, 30);
    QCOMPARE(s.dutyPercent(s.heaterSlots), 30.0);
}

void TestSummary::motorStartsCountTurningMovements()
{
    // Four-slot turns at 00:00:00, every hour at minute 20, and one that
    // runs into the day's last slot; direction changes do not matter.
    DayFileBuilder f;
    int expected = 0;
    for (int slot = 0; slot < 8640; ++slot) {
        const int inHour = slot % 360;
        const bool moving = slot < 4 || (inHour >= 120 && inHour < 124) || slot >= 8637;
        if (slot == 0 || inHour == 120 || slot == 8637)
            ++expected;
        TestBlock b = steady(7);
        b.states = moving ? (slot % 2 ? 0x0002 : 0x0006) : 0x0010;
        f.record(timeOfSlot(slot), {b});
    }
    const CabinetSummary s = summaryOf(f.bytes, 7);
    QCOMPARE(expected, 26);
    QCOMPARE(s.turningMovements, expected);
}

void TestSummary::aSlotHasDataOnlyWithBothSetPointsAndBothReadings_data()
{
    QTest::addColumn<TestBlock>("block");
    QTest::addColumn<int>("dataSlots");
    TestBlock b = steady(1);
    QTest::newRow("set points and readings present") << b << 1;
    b = steady(1);
    b.tSet = 0;
    QTest::newRow("no temperature set point") << b << 0;
    b = steady(1);
    b.hSet = 100;
    QTest::newRow("a humidity set point of 100 is no set point") << b << 0;
    b = steady(1);
    b.tCount = 0;
    QTest::newRow("no temperature reading counted") << b << 0;
    b = steady(1);
    b.hSum = -55;
    QTest::newRow("a negative humidity average") << b << 0;
    b = steady(1);
    b.tSum = std::nanf("");
    QTest::newRow("a temperature sum that is not a number") << b << 0;
}

void TestSummary::aSlotHasDataOnlyWithBothSetPointsAndBothReadings()
{
    QFETCH(TestBlock, block);
    QFETCH(int, dataSlots);
    DayFileBuilder f;
    f.record(timeOfSlot(8639), {block});
    const CabinetSummary s = summaryOf(f.bytes, 1);
    QCOMPARE(s.dataSlots, dataSlots);
    QCOMPARE(s.noDataSlots(), 8640 - dataSlots);
}

void TestSummary::aGapWithoutRecordsIsTimeWithoutData()
{
    // A whole day but for 01:00-02:00 (360 slots), with the door held open
    // across the gap: it counts as two openings.
    DayFileBuilder f;
    for (int slot = 0; slot < 8640; ++slot) {
        if (slot >= 360 && slot < 720)
            continue;
        TestBlock b = steady(8);
        if (slot >= 350 && slot < 730)
            b.states = 0x0001;
        f.record(timeOfSlot(slot), {b});
    }
    const CabinetSummary s = summaryOf(f.bytes, 8);
    QCOMPARE(s.dataSlots, 8280);
    QCOMPARE(s.noDataSlots(), 360);
    QCOMPARE(report::slotsToMinutes(s.noDataSlots()), 60.0);
    QCOMPARE(s.doorOpenings, 2);
    QCOMPARE(s.doorSlots, 20);
}

void TestSummary::laterRecordsOfASlotOverwriteAsInTheDayModel()
{
    // Two records in slot 30 (00:05:00 and 00:05:08): the second one's set
    // point and words win, its zero temperature count keeps the first
    // reading, which then lies 0.5 below the new set point.
    DayFileBuilder f;
    TestBlock first = steady(1);
    first.tSum = 37.5f;
    first.alarms = 0x0040;
    TestBlock second = steady(1, 38.0f);
    second.tCount = 0;
    second.tSum = 99;
    f.record(0, 5, 0, {first}).record(0, 5, 8, {second});
    const CabinetSummary s = summaryOf(f.bytes, 1);
    QCOMPARE(s.dataSlots, 1);
    QCOMPARE(s.temperature.belowSlots, 1);
    QCOMPARE(s.temperature.min, 37.5);
    QCOMPARE(s.alarmSlots[6], 0);
    QCOMPARE(s.firstOutOfToleranceSlot, 30);
}

void TestSummary::recordsRunningBackwardsInTimeStillMatchTheDayModel()
{
    // Slots 10, 11, then 10 again (a collector clock set back), then 12;
    // cabinet 2 only appears in order and is summarised in the single pass.
    DayFileBuilder f;
    TestBlock hot = steady(1);
    hot.tSum = 38.5f;
    TestBlock doorOpen = steady(1);
    doorOpen.states = 0x0001;
    f.record(timeOfSlot(10), {doorOpen, steady(2)})
        .record(timeOfSlot(11), {doorOpen})
        .record(timeOfSlot(10), {hot})
        .record(timeOfSlot(12), {steady(1), steady(2)});
    const CabinetSummary s = summaryOf(f.bytes, 1);
    QCOMPARE(s.dataSlots, 3);
    QCOMPARE(s.temperature.aboveSlots, 1);
    QCOMPARE(s.firstOutOfToleranceSlot, 10);
    QCOMPARE(s.doorOpenings, 1);   // slot 10 was overwritten: the door shows in slot 11 only
    QCOMPARE(s.doorSlots, 1);
    QCOMPARE(summaryOf(f.bytes, 2).dataSlots, 2);
}

void TestSummary::aCabinetListedTwiceInARecordCountsItsFirstBlock()
{
    DayFileBuilder f;
    TestBlock again = steady(1);
    again.tSum = 30.0f;
    f.record(timeOfSlot(0), {steady(1), again});
    const CabinetSummary s = summaryOf(f.bytes, 1);
    QCOMPARE(s.temperature.min, 37.5);
    QCOMPARE(s.temperature.belowSlots, 0);
}

// A day large enough to be shared between threads, as the collector writes
// it and with the noon slot written twice, the second time with other
// readings, so that its records must be merged.
void TestSummary::aGeneratedDayGivesTheSameSummaryBothWays_data()
{
    QTest::addColumn<bool>("noonTwice");
    QTest::newRow("in time order") << false;
    QTest::newRow("a slot written twice") << true;
}

void TestSummary::aGeneratedDayGivesTheSameSummaryBothWays()
{
    QFETCH(bool, noonTwice);
    statgen::Options o;
    o.date = QDate(2009, 3, 5);
    o.seed = 77;
    QVERIFY(statgen::parseCabinets(QStringLiteral("1-20,40,63"), &o.cabinets, nullptr));
    QByteArray day = statgen::generateDay(o);
    if (noonTwice) {
        StatFile file;
        file.setImage(day);
        const auto recordAt = [&](int r) {
            const qsizetype from = file.recordOffset(r);
            const qsizetype to = r + 1 < file.recordCount() ? file.recordOffset(r + 1) : file.size();
            return day.mid(from, to - from);
        };
        using namespace statformat;
        const int noonRecord = file.recordCount() / 2;
        QByteArray noon = recordAt(noonRecord);
        const int n = uchar(noon[2]);
        for (int i = 0; i < n; ++i) {
            // A low bit of each temperature sum: a slightly different reading.
            const qsizetype at = recordHeaderSize + n + blockSize * i + block::tSum + 1;
            noon[at] = char(noon[at] ^ 0x01);
        }
        day.insert(file.recordOffset(noonRecord + 1), noon);
    }
    int withAlarms = 0, withDoors = 0, withGaps = 0;
    for (int c : o.cabinets) {
        const CabinetSummary s = summaryOf(day, c);
        withAlarms += s.alarmSlotsTotal() ? 1 : 0;
        withDoors += s.doorOpenings ? 1 : 0;
        withGaps += s.noDataSlots() ? 1 : 0;
        QVERIFY(s.temperature.aboveSlots + s.temperature.belowSlots <= s.dataSlots);
    }
    // The day is varied enough for the comparison to mean something.
    QVERIFY(withAlarms > 0);
    QVERIFY(withDoors > 10);
    QVERIFY(withGaps > 0);
}

void TestSummary::everyCabinetOfTheFileGetsARowInAscendingOrder()
{
    DayFileBuilder f;
    TestBlock outside = steady(0);
    TestBlock beyond = steady(64);
    f.record(timeOfSlot(0), {steady(12), steady(5), outside, beyond}).record(timeOfSlot(1), {steady(33)});
    StatFile file;
    file.setImage(f.bytes);
    const report::DayReport r = report::makeReport(file, QStringLiteral("09-03-05.INC"), QStringLiteral("день"), {});
    QList<int> cabinets;
    for (const CabinetSummary &c : r.cabinets)
        cabinets << c.cabinet;
    QCOMPARE(cabinets, (QList<int>{5, 12, 33}));
    QCOMPARE(r.find(33)->dataSlots, 1);
    QCOMPARE(r.find(7), nullptr);
}

QTEST_GUILESS_MAIN(TestSummary)
#include "test_summary.moc"
