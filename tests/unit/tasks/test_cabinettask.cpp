#include <QtTest>

#include "linetext.h"
#include "tasks/cabinettask.h"

namespace {

const QString broilerStart = QStringLiteral("Бройлер - 02 д. 18 час., \t11.07.2008 10:00 \t11.07.2008 10:00");

QString header(const QString &name, const QString &start, const QString &end)
{
    return QStringLiteral("%1 - 01 д. 00 час., \t%2 \t%3").arg(name, start, end);
}

QString stage(int days, int hours, const QString &start = QStringLiteral("01.01.2000 00:00"),
              const QString &end = QStringLiteral("01.01.2000 00:00"))
{
    return QStringLiteral("  %1 д. %2 час., \t37.5°C 55%, \t%3 \t%4")
        .arg(days, 2, 10, QLatin1Char('0'))
        .arg(hours, 2, 10, QLatin1Char('0'))
        .arg(start, end);
}

}  // namespace

class TestCabinetTask : public QObject
{
    Q_OBJECT
private slots:
    void stagesAreLaidEndToEndFromTheProfileStart();
    void theTaskViewShowsOneRowPerLine();
    void datesRollOverMonthsAndYears_data();
    void datesRollOverMonthsAndYears();
    void overlapsIncludeBothBounds_data();
    void overlapsIncludeBothBounds();
    void aProfileWithoutStagesHasAnEmptyIntervalAndNoOverlap();
    void changingAStageMarksItsProfileOnce();
    void deletingTheLastStageMarksTheProfileItCameFrom();
    void aStageAddedAfterTheHeaderBecomesTheFirstStage();
    void deletingFromAStageRowRemovesTheWholeProfile();
    void aLibraryProfileIsCopiedWithItsStagesAndStart();
    void changingTheStartMovesTheStages();
    void aStartThatIsNoDateLaysNothingOut();
};

void TestCabinetTask::stagesAreLaidEndToEndFromTheProfileStart()
{
    auto rule = cpLines({broilerStart, stage(2, 0), stage(0, 18)});
    TLineFields f;
    const auto layout = tasks::RecalcTask(rule, f);
    QCOMPARE(textLines(rule),
             (QStringList{"Бройлер - 02 д. 18 час., \t11.07.2008 10:00 \t14.07.2008 04:00",
                          "  02 д. 00 час., \t37.5°C 55%, \t11.07.2008 10:00 \t13.07.2008 10:00",
                          "  00 д. 18 час., \t37.5°C 55%, \t13.07.2008 10:00 \t14.07.2008 04:00"}));
    QVERIFY(!layout.overlap);
    QCOMPARE(layout.profiles.size(), 1);
    QCOMPARE(layout.profiles[0].start, CalendarHour::fromFields(2008, 7, 11, 10));
    QCOMPARE(layout.profiles[0].end, CalendarHour::fromFields(2008, 7, 14, 4));
}

void TestCabinetTask::theTaskViewShowsOneRowPerLine()
{
    auto rule = cpLines({broilerStart, stage(2, 0), stage(0, 18)});
    TLineFields f;
    const auto rows = tasks::RecalcTask(rule, f).rows;
    QCOMPARE(rows.size(), 3);
    QVERIFY(rows[0].profile);
    QCOMPARE(cp1251::decode(rows[0].caption), QStringLiteral("Бройлер"));
    QCOMPARE(cp1251::decode(rows[0].interval), QStringLiteral("02 д. 18 час."));
    QVERIFY(rows[0].setpoint.isEmpty());
    QCOMPARE(rows[0].start, QByteArray("11.07.2008 10:00"));
    QCOMPARE(rows[0].end, QByteArray("14.07.2008 04:00"));
    QVERIFY(!rows[2].profile);
    QVERIFY(rows[2].caption.isEmpty());
    QCOMPARE(cp1251::decode(rows[2].interval), QStringLiteral("00 д. 18 час."));
    QCOMPARE(cp1251::decode(rows[2].setpoint), QStringLiteral("37.5°C 55%"));
    QCOMPARE(rows[2].start, QByteArray("13.07.2008 10:00"));
}

void TestCabinetTask::datesRollOverMonthsAndYears_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("hours");
    QTest::addColumn<QByteArray>("end");
    QTest::newRow("past midnight at the year's end") << "30.12.2008 20:00" << 0 << 10 << QByteArray("31.12.2008 06:00");
    QTest::newRow("into the new year") << "30.12.2008 20:00" << 1 << 5 << QByteArray("01.01.2009 01:00");
    QTest::newRow("into March of a leap year") << "28.02.2008 12:00" << 1 << 12 << QByteArray("01.03.2008 00:00");
    QTest::newRow("into March of a common year") << "28.02.2009 12:00" << 0 << 12 << QByteArray("01.03.2009 00:00");
    QTest::newRow("across the spring clock change") << "30.03.2008 01:00" << 0 << 3 << QByteArray("30.03.2008 04:00");
    QTest::newRow("across the autumn clock change") << "26.10.2008 01:00" << 0 << 3 << QByteArray("26.10.2008 04:00");
    QTest::newRow("a 100-day stage") << "01.01.2010 00:00" << 100 << 0 << QByteArray("11.04.2010 00:00");
}

void TestCabinetTask::datesRollOverMonthsAndYears()
{
    QFETCH(QString, start);
    QFETCH(int, days);
    QFETCH(int, hours);
    QFETCH(QByteArray, end);
    // Local time must play no part, even where the clocks change.
    const QByteArray tz = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    auto rule = cpLines({header(QStringLiteral("П"), start, start), stage(days, hours)});
    TLineFields f;
    tasks::RecalcTask(rule, f);
    qputenv("TZ", tz);
    QVERIFY2(rule[1].endsWith(start.toLatin1() + " \t" + end), rule[1].constData());
    QVERIFY(rule[0].endsWith(" \t" + end));
}

void TestCabinetTask::overlapsIncludeBothBounds_data()
{
    QTest::addColumn<QString>("secondStart");
    QTest::addColumn<int>("secondHours");
    QTest::addColumn<bool>("overlap");
    // The first profile runs 11.07.2008 10:00 to 13.07.2008 10:00.
    QTest::newRow("starting at the very hour the first ends") << "13.07.2008 10:00" << 24 << true;
    QTest::newRow("starting one hour later") << "13.07.2008 11:00" << 24 << false;
    QTest::newRow("ending at the very hour the first starts") << "10.07.2008 10:00" << 24 << true;
    QTest::newRow("ending one hour before") << "10.07.2008 09:00" << 24 << false;
    QTest::newRow("lying wholly inside") << "12.07.2008 00:00" << 1 << true;
    QTest::newRow("covering it wholly") << "01.07.2008 00:00" << 30 * 24 << true;
}

void TestCabinetTask::overlapsIncludeBothBounds()
{
    QFETCH(QString, secondStart);
    QFETCH(int, secondHours);
    QFETCH(bool, overlap);
    const QString first = QStringLiteral("11.07.2008 10:00");
    auto rule = cpLines({header(QStringLiteral("А"), first, first), stage(2, 0),
                         header(QStringLiteral("Б"), secondStart, secondStart), stage(secondHours / 24, secondHours % 24)});
    TLineFields f;
    QCOMPARE(tasks::RecalcTask(rule, f).overlap, overlap);
}

void TestCabinetTask::aProfileWithoutStagesHasAnEmptyIntervalAndNoOverlap()
{
    // The empty profile's start lies inside the other one.
    auto rule = cpLines({header(QStringLiteral("А"), "11.07.2008 10:00", "11.07.2008 10:00"), stage(2, 0),
                         header(QStringLiteral("Пустой"), "12.07.2008 05:00", "20.07.2008 00:00")});
    TLineFields f;
    const auto layout = tasks::RecalcTask(rule, f);
    QVERIFY(!layout.overlap);
    QCOMPARE(layout.rows[2].start, QByteArray("12.07.2008 05:00"));
    QCOMPARE(layout.rows[2].end, QByteArray("12.07.2008 05:00"));
    QVERIFY(!layout.profiles[1].hasStages);

    // Its start is kept for the stages it gets later.
    TLineFields s;
    s.Days = 1;
    s.Temperature = 37.0f;
    s.Humidity = 60;
    tasks::insertStageAfter(rule, 2, s);
    tasks::RecalcTask(rule, f);
    QCOMPARE(cp1251::decode(rule[2]), QStringLiteral("*Пустой - 01 д. 00 час., \t12.07.2008 05:00 \t13.07.2008 05:00"));
}

void TestCabinetTask::changingAStageMarksItsProfileOnce()
{
    auto rule = cpLines({broilerStart, stage(2, 0), stage(0, 18)});
    TLineFields f;
    f.Days = 3;
    f.Temperature = 37.0f;
    f.Humidity = 50;
    tasks::replaceStage(rule, 2, f);
    tasks::RecalcTask(rule, f);
    QVERIFY(rule[0].startsWith(cp(QStringLiteral("*Бройлер - 02 д. 18 час."))));
    f.Days = 3;  // the layout has used the record since
    f.Hours = 0;
    f.Temperature = 37.0f;
    f.Humidity = 50;
    tasks::replaceStage(rule, 1, f);
    const auto rows = tasks::RecalcTask(rule, f).rows;
    QCOMPARE(cp1251::decode(rows[0].caption), QStringLiteral("*Бройлер"));
    QCOMPARE(cp1251::decode(rule[2]), QStringLiteral("  03 д. 00 час., \t37.0°C 50%, \t14.07.2008 10:00 \t17.07.2008 10:00"));
}

void TestCabinetTask::deletingTheLastStageMarksTheProfileItCameFrom()
{
    auto rule = cpLines({header(QStringLiteral("А"), "11.07.2008 10:00", "x"), stage(1, 0), stage(1, 0),
                         header(QStringLiteral("Б"), "20.07.2008 10:00", "x"), stage(1, 0)});
    tasks::removeStage(rule, 2);
    QCOMPARE(rule.size(), 4);
    QVERIFY(rule[0].startsWith(cp(QStringLiteral("*А - "))));
    QVERIFY(rule[2].startsWith(cp(QStringLiteral("Б - "))));

    // Only stage lines are taken this way.
    tasks::removeStage(rule, 2);
    QCOMPARE(rule.size(), 4);
}

void TestCabinetTask::aStageAddedAfterTheHeaderBecomesTheFirstStage()
{
    auto rule = cpLines({broilerStart, stage(2, 0)});
    TLineFields f;
    f.Hours = 6;
    f.Temperature = 38.0f;
    f.Humidity = 90;
    tasks::insertStageAfter(rule, 0, f);
    tasks::RecalcTask(rule, f);
    QCOMPARE(textLines(rule),
             (QStringList{"*Бройлер - 02 д. 18 час., \t11.07.2008 10:00 \t13.07.2008 16:00",
                          "  00 д. 06 час., \t38.0°C 90%, \t11.07.2008 10:00 \t11.07.2008 16:00",
                          "  02 д. 00 час., \t37.5°C 55%, \t11.07.2008 16:00 \t13.07.2008 16:00"}));
}

void TestCabinetTask::deletingFromAStageRowRemovesTheWholeProfile()
{
    auto rule = cpLines({header(QStringLiteral("А"), "11.07.2008 10:00", "x"), stage(1, 0),
                         header(QStringLiteral("Б"), "20.07.2008 10:00", "x"), stage(1, 0), stage(2, 0),
                         header(QStringLiteral("В"), "30.07.2008 10:00", "x")});
    tasks::removeProfile(rule, 4);
    QCOMPARE(rule.size(), 3);
    QVERIFY(rule[2].startsWith(cp(QStringLiteral("В - "))));
    tasks::removeProfile(rule, 0);
    QCOMPARE(rule.size(), 1);
}

void TestCabinetTask::aLibraryProfileIsCopiedWithItsStagesAndStart()
{
    const auto prf = cpLines({"Утка - 01 д. 06 час.", "  00 д. 20 час., \t37.5°C 55%", "  00 д. 10 час., \t37.0°C 60%",
                              "Гусь - 02 д. 00 час.", "  02 д. 00 час., \t37.8°C 65%"});
    tasks::Lines rule;
    TLineFields f;
    tasks::appendProfile(rule, f, prf, 3, CalendarHour::fromFields(2009, 3, 1, 0));
    tasks::appendProfile(rule, f, prf, 0, CalendarHour::fromFields(2009, 1, 31, 22));
    const auto layout = tasks::RecalcTask(rule, f);
    QVERIFY(!layout.overlap);
    QCOMPARE(textLines(rule),
             (QStringList{"Гусь - 02 д. 00 час., \t01.03.2009 00:00 \t03.03.2009 00:00",
                          "  02 д. 00 час., \t37.8°C 65%, \t01.03.2009 00:00 \t03.03.2009 00:00",
                          "Утка - 01 д. 06 час., \t31.01.2009 22:00 \t02.02.2009 04:00",
                          "  00 д. 20 час., \t37.5°C 55%, \t31.01.2009 22:00 \t01.02.2009 18:00",
                          "  00 д. 10 час., \t37.0°C 60%, \t01.02.2009 18:00 \t02.02.2009 04:00"}));
}

void TestCabinetTask::changingTheStartMovesTheStages()
{
    auto rule = cpLines({broilerStart, stage(2, 0), stage(0, 18)});
    TLineFields f;
    tasks::RecalcTask(rule, f);
    tasks::changeStart(rule, 0, f, CalendarHour::fromFields(2008, 12, 31, 23));
    tasks::RecalcTask(rule, f);
    QCOMPARE(cp1251::decode(rule[0]), QStringLiteral("Бройлер - 02 д. 18 час., \t31.12.2008 23:00 \t03.01.2009 17:00"));
    QCOMPARE(cp1251::decode(rule[2]), QStringLiteral("  00 д. 18 час., \t37.5°C 55%, \t02.01.2009 23:00 \t03.01.2009 17:00"));
}

void TestCabinetTask::aStartThatIsNoDateLaysNothingOut()
{
    auto rule = cpLines({header(QStringLiteral("А"), "31.02.2008 10:00", "x"), stage(1, 0),
                         header(QStringLiteral("Б"), "01.01.2000 00:00", "x"), stage(9999, 0)});
    TLineFields f;
    const auto layout = tasks::RecalcTask(rule, f);
    QVERIFY(!layout.overlap);
    QCOMPARE(layout.rows[0].start, QByteArray("00.00.00 00:00"));
    QCOMPARE(layout.rows[1].end, QByteArray("00.00.00 00:00"));
    QCOMPARE(layout.rows[3].end, QByteArray("18.05.2027 00:00"));
}

QTEST_GUILESS_MAIN(TestCabinetTask)
#include "test_cabinettask.moc"
