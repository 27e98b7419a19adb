#include <QtTest>

#include "dayfilebuilder.h"
#include "viewer/statdocument.h"
#include "viewer/statname.h"

#include <cmath>
#include <limits>

// The loader and the day model: how a file becomes tabs and 8640 slots.
class TestDayFile : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void anEmptyFileLoadsWithoutTabsOrData();
    void aRecordWithoutCabinetsTakesThreeBytes();
    void aLaterRecordOfTheSameSlotWinsFieldByField();
    void valuesOutsideZeroToHundredAreStoredAsNoData_data();
    void valuesOutsideZeroToHundredAreStoredAsNoData();
    void tabsListCabinetsInAscendingOrder();
    void cabinetNumbersOutsideTheBusMakeNoTabButAreWalkedOver();
    void theFirstOfTwoEqualCabinetNumbersWins();
    void theCurrentCabinetIsKeptWhenTheNextFileHasIt();
    void theRequestedCabinetIsShownAndThenForgotten();
    void aFailedLoadKeepsTheRequestTabsAndModel();
    void theDateOfFiveMarch2009ReadsInRussian();
    void weekdaysAreRussianWhateverTheSystemLocale();
    void namesWithoutAValidDateStopTheLoad_data();
    void namesWithoutAValidDateStopTheLoad();
    void dayWideRangesIncludeZeroWhereAValueWasMissing();
    void theSlotComesFromHoursMinutesAndTwoSecondUnits_data();
    void theSlotComesFromHoursMinutesAndTwoSecondUnits();
    void damagedFilesAreReadUpToTheDamageAndCounted_data();
    void damagedFilesAreReadUpToTheDamageAndCounted();

private:
    StatDocument::LoadResult load(StatDocument &doc, const DayFileBuilder &file,
                                  const QString &name = QStringLiteral("09-03-05.INC"));
    QTemporaryDir m_dir;
};

void TestDayFile::init()
{
    QVERIFY(m_dir.isValid());
}

StatDocument::LoadResult TestDayFile::load(StatDocument &doc, const DayFileBuilder &file, const QString &name)
{
    const QString path = m_dir.filePath(name);
    if (!file.save(path))
        qFatal("cannot write the fixture");
    return doc.load(name, path);
}

void TestDayFile::anEmptyFileLoadsWithoutTabsOrData()
{
    StatDocument doc;
    doc.setRequestedCabinet(3);
    const auto r = load(doc, DayFileBuilder());
    QVERIFY(r.ok());
    QVERIFY(r.message.isEmpty());
    QVERIFY(doc.tabs().isEmpty());
    QVERIFY(!doc.loaded());
    QCOMPARE(doc.file().recordCount(), 0);
    QCOMPARE(doc.requestedCabinet(), 0);
}

void TestDayFile::aRecordWithoutCabinetsTakesThreeBytes()
{
    DayFileBuilder f;
    f.record(0, 0, 0, {}).record(0, 0, 10, {{.cabinet = 5}});
    StatDocument doc;
    QVERIFY(load(doc, f).ok());
    QCOMPARE(doc.file().recordCount(), 2);
    QCOMPARE(doc.file().recordOffset(0), 0u);
    QCOMPARE(doc.file().recordOffset(1), 3u);
    QCOMPARE(doc.tabs(), QList<int>{5});
    QVERIFY(doc.loaded());
    QCOMPARE(doc.series().tMeas[0], 0.0f);
    QCOMPARE(doc.series().tMeas[1], 37.5f);
}

void TestDayFile::aLaterRecordOfTheSameSlotWinsFieldByField()
{
    DayFileBuilder f;
    // 10:00:00 and 10:00:08 fall into the same slot 3600.
    f.record(10, 0, 0, {{.cabinet = 2, .tCount = 2, .tSet = 37.0f, .tSum = 74.0f, .hCount = 2, .hSum = 100.0f, .alarms = 0x0001}});
    f.record(10, 0, 8, {{.cabinet = 2, .tCount = 0, .tSet = 38.0f, .tSum = 999.0f, .hSum = 60.0f, .states = 0x0040}});
    StatDocument doc;
    QVERIFY(load(doc, f).ok());
    const DaySeries &s = doc.series();
    QCOMPARE(s.tMeas[3600], 37.0f);   // count 0 keeps the earlier average
    QCOMPARE(s.tTask[3600], 38.0f);
    QCOMPARE(s.hMeas[3600], 60.0f);
    QCOMPARE(s.alarmBits[3600], quint16(0));
    QCOMPARE(s.stateBits[3600], quint16(0x0040));
}

void TestDayFile::valuesOutsideZeroToHundredAreStoredAsNoData_data()
{
    QTest::addColumn<float>("setPoint");
    QTest::addColumn<float>("sum");
    QTest::addColumn<float>("storedSet");
    QTest::addColumn<float>("storedMeas");
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    QTest::newRow("a set point of exactly 0 is no data") << 0.0f << 37.5f << 0.0f << 37.5f;
    QTest::newRow("a set point of exactly 100 is no data") << 100.0f << 37.5f << 0.0f << 37.5f;
    QTest::newRow("just below 100 is kept") << 99.99f << 99.99f << 99.99f << 99.99f;
    QTest::newRow("a negative average is no data") << 37.5f << -1.0f << 37.5f << 0.0f;
    QTest::newRow("a set point that is not a number is no data") << nan << nan << 0.0f << 0.0f;
    QTest::newRow("an infinite sum is no data") << 37.5f << inf << 37.5f << 0.0f;
}

void TestDayFile::valuesOutsideZeroToHundredAreStoredAsNoData()
{
    QFETCH(float, setPoint);
    QFETCH(float, sum);
    QFETCH(float, storedSet);
    QFETCH(float, storedMeas);
    DayFileBuilder f;
    f.record(1, 0, 0, {{.cabinet = 1, .tSet = setPoint, .tSum = sum, .hSet = setPoint, .hSum = sum}});
    StatDocument doc;
    QVERIFY(load(doc, f).ok());
    QCOMPARE(doc.series().tTask[360], storedSet);
    QCOMPARE(doc.series().tMeas[360], storedMeas);
    QCOMPARE(doc.series().hTask[360], storedSet);
    QCOMPARE(doc.series().hMeas[360], storedMeas);
}

void TestDayFile::tabsListCabinetsInAscendingOrder()
{
    DayFileBuilder f;
    f.record(0, 0, 0, {{.cabinet = 12}}).record(0, 0, 10, {{.cabinet = 5}, {.cabinet = 12}});
    StatDocument doc;
    QVERIFY(load(doc, f).ok());
    QCOMPARE(doc.tabs(), (QList<int>{5, 12}));
    QCOMPARE(doc.currentCabinet(), 5);
}

void TestDayFile::cabinetNumbersOutsideTheBusMakeNoTabButAreWalkedOver()
{
    DayFileBuilder f;
    // 0, 64 and 200 (negative as a signed byte) are no cabinets; the block
    // of cabinet 9 still has to be found after theirs.
    f.record(2, 0, 0, {{.cabinet = 0, .tSum = 30.0f}, {.cabinet = 64, .tSum = 31.0f},
                       {.cabinet = 200, .tSum = 32.0f}, {.cabinet = 9, .tSum = 36.6f}});
    StatDocument doc;
    QVERIFY(load(doc, f).ok());
    QCOMPARE(doc.tabs(), QList<int>{9});
    QCOMPARE(doc.series().tMeas[720], 36.6f);
}

void TestDayFile::theFirstOfTwoEqualCabinetNumbersWins()
{
    DayFileBuilder f;
    f.record(0, 0, 0, {{.cabinet = 3}, {.cabinet = 9, .tSum = 36.1f}});
    f.record(0, 0, 10, {{.cabinet = 9, .tSum = 36.2f}, {.cabinet = 9, .tSum = 36.3f}});
    f.record(0, 0, 20, {{.cabinet = 4}, {.cabinet = 9, .tSum = 36.4f}, {.cabinet = 9, .tSum = 36.5f}});
    StatDocument doc;
    QVERIFY(load(doc, f).ok());
    QVERIFY(doc.selectCabinet(9));
    QCOMPARE(doc.series().tMeas[0], 36.1f);
    QCOMPARE(doc.series().tMeas[1], 36.2f);
    QCOMPARE(doc.series().tMeas[2], 36.4f);
}

void TestDayFile::theCurrentCabinetIsKeptWhenTheNextFileHasIt()
{
    DayFileBuilder first, withTwelve, withoutTwelve;
    first.record(0, 0, 0, {{.cabinet = 5}, {.cabinet = 12, .tSum = 37.1f}});
    withTwelve.record(0, 0, 0, {{.cabinet = 3}, {.cabinet = 12, .tSum = 37.2f}});
    withoutTwelve.record(0, 0, 0, {{.cabinet = 3}, {.cabinet = 7}});
    StatDocument doc;
    QVERIFY(load(doc, first, QStringLiteral("09-03-04.INC")).ok());
    QVERIFY(doc.setCurrentTab(1));
    QCOMPARE(doc.currentCabinet(), 12);
    QVERIFY(load(doc, withTwelve, QStringLiteral("09-03-05.INC")).ok());
    QCOMPARE(doc.currentCabinet(), 12);
    QCOMPARE(doc.series().tMeas[0], 37.2f);
    QVERIFY(load(doc, withoutTwelve, QStringLiteral("09-03-06.INC")).ok());
    QCOMPARE(doc.currentTab(), 0);
    QCOMPARE(doc.currentCabinet(), 3);
}

void TestDayFile::theRequestedCabinetIsShownAndThenForgotten()
{
    DayFileBuilder f;
    f.record(0, 0, 0, {{.cabinet = 2}, {.cabinet = 7, .tSum = 36.9f}, {.cabinet = 9}});
    StatDocument doc;
    doc.setRequestedCabinet(7);
    QVERIFY(load(doc, f).ok());
    QCOMPARE(doc.currentCabinet(), 7);
    QCOMPARE(doc.series().tMeas[0], 36.9f);
    QCOMPARE(doc.requestedCabinet(), 0);

    doc.setRequestedCabinet(40);   // not in the file: the first tab
    QVERIFY(load(doc, f).ok());
    QCOMPARE(doc.currentCabinet(), 2);
    QCOMPARE(doc.requestedCabinet(), 0);
}

void TestDayFile::aFailedLoadKeepsTheRequestTabsAndModel()
{
    DayFileBuilder f;
    f.record(0, 0, 0, {{.cabinet = 4, .tSum = 37.3f}});
    StatDocument doc;
    QVERIFY(load(doc, f).ok());
    doc.setRequestedCabinet(4);
    const auto r = doc.load(QStringLiteral("09-03-07.INC"), m_dir.filePath(QStringLiteral("missing.INC")));
    QCOMPARE(r.status, StatDocument::LoadStatus::OpenFailed);
    QCOMPARE(r.message, QStringLiteral("Ошибка при открытии файла!"));
    QCOMPARE(doc.requestedCabinet(), 4);
    QCOMPARE(doc.tabs(), QList<int>{4});
    QCOMPARE(doc.series().tMeas[0], 37.3f);
    QVERIFY(!doc.loaded());
    QCOMPARE(doc.file().recordCount(), 0);
    QCOMPARE(doc.caption(), QStringLiteral("[09-03-07.INC] - Статистика за 7.03.2009 г., суббота"));
    // Switching tabs builds nothing from a file that is not there.
    QVERIFY(!doc.setCurrentTab(0));
    QVERIFY(!doc.loaded());
}

void TestDayFile::theDateOfFiveMarch2009ReadsInRussian()
{
    StatDocument doc;
    QVERIFY(load(doc, DayFileBuilder(), QStringLiteral("09-03-05.INC")).ok());
    QCOMPARE(doc.dateText(), QStringLiteral("5.03.2009 г., четверг"));
    QCOMPARE(doc.caption(), QStringLiteral("[09-03-05.INC] - Статистика за 5.03.2009 г., четверг"));
    QCOMPARE(doc.fileName(), QStringLiteral("09-03-05.INC"));
}

void TestDayFile::weekdaysAreRussianWhateverTheSystemLocale()
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString monday = statname::dateText(QDate(2024, 12, 30));
    const QString sunday = statname::dateText(QDate(2000, 1, 2));
    QLocale::setDefault(saved);
    QCOMPARE(monday, QStringLiteral("30.12.2024 г., понедельник"));
    QCOMPARE(sunday, QStringLiteral("2.01.2000 г., воскресенье"));
}

void TestDayFile::namesWithoutAValidDateStopTheLoad_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("letters where the year is") << QStringLiteral("ab-03-05.INC");
    QTest::newRow("the thirtieth of February") << QStringLiteral("09-02-30.INC");
    QTest::newRow("month 13") << QStringLiteral("09-13-01.INC");
    QTest::newRow("a name shorter than the date") << QStringLiteral("09-03.IN");
    QTest::newRow("a blank inside the day") << QStringLiteral("09-03- 5.INC");
}

void TestDayFile::namesWithoutAValidDateStopTheLoad()
{
    QFETCH(QString, name);
    DayFileBuilder good;
    good.record(0, 0, 0, {{.cabinet = 3}});
    StatDocument doc;
    QVERIFY(load(doc, good).ok());
    const QString caption = doc.caption();
    const auto r = load(doc, good, name);
    QCOMPARE(r.status, StatDocument::LoadStatus::BadName);
    QVERIFY(r.message.contains(name));
    QVERIFY(!doc.loaded());
    QCOMPARE(doc.caption(), caption);
    QCOMPARE(doc.fileName(), QStringLiteral("09-03-05.INC"));
}

void TestDayFile::dayWideRangesIncludeZeroWhereAValueWasMissing()
{
    DayFileBuilder f;
    f.record(0, 0, 0, {{.cabinet = 1, .tSet = 37.6f, .tSum = 37.2f, .hSet = 60.0f, .hSum = 52.0f}});
    StatDocument doc;
    QVERIFY(load(doc, f).ok());
    QCOMPARE(doc.series().tMin, double(37.2f));
    QCOMPARE(doc.series().tMax, double(37.6f));
    QCOMPARE(doc.series().hMin, 52.0);
    QCOMPARE(doc.series().hMax, 60.0);

    f.record(0, 0, 10, {{.cabinet = 1, .tCount = 0, .tSet = 37.6f, .hSet = 101.0f, .hSum = 52.0f}});
    QVERIFY(load(doc, f).ok());
    QCOMPARE(doc.series().tMin, 0.0);   // no reading in the second slot
    QCOMPARE(doc.series().tMax, double(37.6f));
    QCOMPARE(doc.series().hMin, 0.0);   // set point out of range
    QCOMPARE(doc.series().hMax, 60.0);
}

void TestDayFile::theSlotComesFromHoursMinutesAndTwoSecondUnits_data()
{
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("s");
    QTest::addColumn<int>("slot");
    QTest::newRow("midnight") << 0 << 0 << 0 << 0;
    QTest::newRow("nine seconds past midnight") << 0 << 0 << 8 << 0;
    QTest::newRow("ten seconds past midnight") << 0 << 0 << 10 << 1;
    QTest::newRow("13:45:50") << 13 << 45 << 50 << 4955;
    QTest::newRow("the day's last slot") << 23 << 59 << 58 << 8639;
}

void TestDayFile::theSlotComesFromHoursMinutesAndTwoSecondUnits()
{
    QFETCH(int, h);
    QFETCH(int, m);
    QFETCH(int, s);
    QFETCH(int, slot);
    DayFileBuilder f;
    f.record(h, m, s, {{.cabinet = 1, .alarms = 0x0400}});
    StatDocument doc;
    QVERIFY(load(doc, f).ok());
    for (int i : {slot - 1, slot, slot + 1})
        if (i >= 0 && i < 8640)
            QCOMPARE(doc.series().alarmBits[size_t(i)], quint16(i == slot ? 0x0400 : 0));
}

void TestDayFile::damagedFilesAreReadUpToTheDamageAndCounted_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("damaged");
    QTest::addColumn<QList<int>>("tabs");

    DayFileBuilder good;
    good.record(1, 0, 0, {{.cabinet = 1}, {.cabinet = 2}});

    DayFileBuilder cut = good;
    cut.record(2, 0, 0, {{.cabinet = 3}, {.cabinet = 4}});
    cut.bytes.chop(10);
    QTest::newRow("a last record cut short") << cut.bytes << 1 << 1 << QList<int>{1, 2};

    DayFileBuilder stub = good;
    stub.bytes.append("\x00\x08", 2);
    QTest::newRow("two bytes too few for a record header") << stub.bytes << 1 << 1 << QList<int>{1, 2};

    DayFileBuilder lateTime = good;
    lateTime.record(quint16(24 << 11), {{.cabinet = 5}});   // 24:00:00 is slot 8640
    lateTime.record(quint16((23 << 11) | (63 << 5)), {{.cabinet = 6}});   // minute 63
    lateTime.record(3, 0, 0, {{.cabinet = 7}});
    QTest::newRow("time words beyond the day") << lateTime.bytes << 2 << 2 << QList<int>{1, 2, 7};

    DayFileBuilder many;
    for (int i = 0; i < 9645; ++i)
        many.record(i % 24, 0, 0, {{.cabinet = i < 9640 ? 1 : 2}});
    QTest::newRow("more records than the index holds") << many.bytes << 9640 << 5 << QList<int>{1};
}

void TestDayFile::damagedFilesAreReadUpToTheDamageAndCounted()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, records);
    QFETCH(int, damaged);
    QFETCH(QList<int>, tabs);
    DayFileBuilder f;
    f.bytes = bytes;
    StatDocument doc;
    const auto r = load(doc, f);
    QVERIFY(r.ok());
    QCOMPARE(doc.file().recordCount(), records);
    QCOMPARE(r.damagedRecords, damaged);
    QCOMPARE(r.message, QStringLiteral("Файл повреждён: пропущено записей: %1").arg(damaged));
    QCOMPARE(doc.tabs(), tabs);
    QVERIFY(doc.loaded());
}

QTEST_GUILESS_MAIN(TestDayFile)
#include "test_dayfile.moc"
