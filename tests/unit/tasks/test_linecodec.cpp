#include <QtTest>
#include <clocale>

#include "linetext.h"
#include "tasks/linecodec.h"

class TestLineCodec : public QObject
{
    Q_OBJECT
private slots:
    void linesAreWrittenInTheirFormats_data();
    void linesAreWrittenInTheirFormats();
    void theStageLineIsTheseBytes();
    void aBlankInTheFormatMatchesAnyRunOfWhiteSpace();
    void aNameIsOneWordAndTheRestOfTheLineIsNotReached();
    void aMismatchLeavesTheLaterFieldsAsTheyWere();
    void taskLinesGiveStartAndEnd();
    void aLibraryStageReadAsATaskStageKeepsItsDates();
    void aDateThatIsNoDateGivesAnInvalidTime();
    void aNameLongerThan99BytesIsCutAt99();
    void theDecimalPointStaysInACommaLocale();
    void decodingAnInvalidTimeWritesZeros();
};

void TestLineCodec::linesAreWrittenInTheirFormats_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("expected");

    TLineFields broiler;
    broiler.Name = cp(QStringLiteral("Бройлер"));
    broiler.Days = 21;
    QTest::newRow("profile header with its total")
        << FormatProfileHeader(broiler) << QStringLiteral("Бройлер - 21 д. 00 час.");

    TLineFields stage;
    stage.Days = 18;
    stage.Temperature = 37.6f;
    stage.Humidity = 55;
    QTest::newRow("stage of 18 days at 37.6 and 55")
        << FormatStage(stage) << QStringLiteral("  18 д. 00 час., \t37.6°C 55%");

    TLineFields long_ = stage;
    long_.Days = 100;
    long_.Hours = 5;
    long_.Humidity = 7;
    QTest::newRow("a 100-day stage keeps its three digits")
        << FormatStage(long_) << QStringLiteral("  100 д. 05 час., \t37.6°C 07%");

    TLineFields task = broiler;
    task.Hours = 3;
    task.Start = CalendarHour::fromFields(2008, 7, 11, 10);
    task.End = CalendarHour::fromFields(2008, 8, 1, 13);
    DecodeStartEnd(task);
    QTest::newRow("task header with full years")
        << FormatTaskHeader(task) << QStringLiteral("Бройлер - 21 д. 03 час., \t11.07.2008 10:00 \t01.08.2008 13:00");

    TLineFields taskStage = stage;
    taskStage.Start = CalendarHour::fromFields(2008, 7, 11, 10);
    taskStage.End = CalendarHour::fromFields(2008, 7, 29, 10);
    DecodeStartEnd(taskStage);
    QTest::newRow("task stage")
        << FormatTaskStage(taskStage)
        << QStringLiteral("  18 д. 00 час., \t37.6°C 55%, \t11.07.2008 10:00 \t29.07.2008 10:00");

    QTest::newRow("task view period") << formatPeriod(1, 6) << QStringLiteral("01 д. 06 час.");
    QTest::newRow("task view set point") << formatSetpoint(32.0f, 20) << QStringLiteral("32.0°C 20%");
    QTest::newRow("one decimal, rounded") << formatTemperature(37.56f) << QStringLiteral("37.6");
}

void TestLineCodec::linesAreWrittenInTheirFormats()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, expected);
    QCOMPARE(cp1251::decode(line), expected);
}

void TestLineCodec::theStageLineIsTheseBytes()
{
    TLineFields stage;
    stage.Days = 18;
    stage.Temperature = 37.6f;
    stage.Humidity = 55;
    QCOMPARE(FormatStage(stage).toHex(' '),
             QByteArray("20 20 31 38 20 e4 2e 20 30 30 20 f7 e0 f1 2e 2c 20 09 33 37 2e 36 b0 43 20 35 35 25"));
}

void TestLineCodec::aBlankInTheFormatMatchesAnyRunOfWhiteSpace()
{
    TLineFields f;
    ParseProfileHeader(f, cp(QStringLiteral("Бройлер   -21д.\t\t5   час.")));
    QCOMPARE(cp1251::decode(f.Name), QStringLiteral("Бройлер"));
    QCOMPARE(f.Days, 21);
    QCOMPARE(f.Hours, 5);

    ParseStage(f, cp(QStringLiteral("  2д.3час.,37.5°C 60%")));
    QCOMPARE(f.Days, 2);
    QCOMPARE(f.Hours, 3);
    QCOMPARE(f.Temperature, 37.5f);
    QCOMPARE(f.Humidity, 60);
}

void TestLineCodec::aNameIsOneWordAndTheRestOfTheLineIsNotReached()
{
    TLineFields f;
    f.Days = 7;
    f.Hours = 8;
    ParseProfileHeader(f, cp(QStringLiteral("Два слова - 01 д. 02 час.")));
    QCOMPARE(cp1251::decode(f.Name), QStringLiteral("Два"));
    QCOMPARE(f.Days, 7);
    QCOMPARE(f.Hours, 8);
}

void TestLineCodec::aMismatchLeavesTheLaterFieldsAsTheyWere()
{
    TLineFields f;
    f.Days = 1;
    f.Hours = 2;
    f.Temperature = 36.6f;
    f.Humidity = 44;
    ParseStage(f, cp(QStringLiteral("  05 д. xx час., \t37.5°C 60%")));
    QCOMPARE(f.Days, 5);
    QCOMPARE(f.Hours, 2);
    QCOMPARE(f.Temperature, 36.6f);
    QCOMPARE(f.Humidity, 44);

    // Nothing at all matches: nothing changes, the name included.
    f.Name = "Keep";
    ParseProfileHeader(f, "   ");
    ParseStage(f, "");
    QCOMPARE(f.Name, QByteArray("Keep"));
    QCOMPARE(f.Days, 5);
}

void TestLineCodec::taskLinesGiveStartAndEnd()
{
    TLineFields f;
    ParseTaskStage(f, cp(QStringLiteral("  02 д. 00 час., \t37.5°C 55%, \t30.12.2008 20:00 \t01.01.2009 01:00")));
    QCOMPARE(f.Days, 2);
    QCOMPARE(f.Temperature, 37.5f);
    QCOMPARE(f.Humidity, 55);
    QCOMPARE(f.StartYear, quint16(2008));
    QCOMPARE(f.EndDay, quint16(1));
    QCOMPARE(f.Start, CalendarHour::fromFields(2008, 12, 30, 20));
    QCOMPARE(f.End, CalendarHour::fromFields(2009, 1, 1, 1));

    ParseTaskHeader(f, cp(QStringLiteral("*Бройлер - 21 д. 00 час., \t11.07.2008 10:00 \t01.08.2008 10:00")));
    QCOMPARE(cp1251::decode(f.Name), QStringLiteral("*Бройлер"));
    QCOMPARE(f.Start, CalendarHour::fromFields(2008, 7, 11, 10));
    QCOMPARE(f.End, CalendarHour::fromFields(2008, 8, 1, 10));
}

void TestLineCodec::aLibraryStageReadAsATaskStageKeepsItsDates()
{
    TLineFields f;
    f.StartDay = 3;
    f.StartMonth = 4;
    f.StartYear = 2010;
    f.StartHour = 5;
    ParseTaskStage(f, cp(QStringLiteral("  01 д. 02 час., \t36.0°C 50%")));
    QCOMPARE(f.Days, 1);
    QCOMPARE(f.Humidity, 50);
    QCOMPARE(f.StartYear, quint16(2010));
    QCOMPARE(f.Start, CalendarHour::fromFields(2010, 4, 3, 5));
}

void TestLineCodec::aDateThatIsNoDateGivesAnInvalidTime()
{
    TLineFields f;
    ParseTaskStage(f, cp(QStringLiteral("  01 д. 00 час., \t36.0°C 50%, \t30.02.2009 10:00 \t31.02.2009 24:00")));
    QVERIFY(!f.Start.isValid());
    QVERIFY(!f.End.isValid());
}

void TestLineCodec::aNameLongerThan99BytesIsCutAt99()
{
    const QByteArray name(150, 'x');
    TLineFields f;
    ParseProfileHeader(f, name + " - 01 д. 00 час.");
    QCOMPARE(f.Name, QByteArray(99, 'x'));
}

void TestLineCodec::theDecimalPointStaysInACommaLocale()
{
    const QByteArray before = std::setlocale(LC_NUMERIC, nullptr);
    const char *comma = nullptr;
    for (const char *name : {"ru_RU.UTF-8", "ru_RU.utf8", "de_DE.UTF-8", "de_DE.utf8"}) {
        if (std::setlocale(LC_NUMERIC, name)) {
            comma = name;
            break;
        }
    }
    if (!comma)
        QSKIP("no locale with a decimal comma installed");
    TLineFields f;
    f.Days = 1;
    f.Temperature = 37.5f;
    f.Humidity = 50;
    const QByteArray line = FormatStage(f);
    TLineFields back;
    ParseStage(back, line);
    std::setlocale(LC_NUMERIC, before.constData());
    QVERIFY(line.contains("37.5"));
    QCOMPARE(back.Temperature, 37.5f);
    QCOMPARE(back.Humidity, 50);
}

void TestLineCodec::decodingAnInvalidTimeWritesZeros()
{
    TLineFields f;
    f.StartDay = f.StartMonth = f.StartYear = f.StartHour = 9;
    f.Start = CalendarHour();
    f.End = CalendarHour::fromFields(2011, 2, 3, 4);
    DecodeStartEnd(f);
    QCOMPARE(formatDateHour(f.StartDay, f.StartMonth, f.StartYear, f.StartHour), QByteArray("00.00.00 00:00"));
    QCOMPARE(formatDateHour(f.EndDay, f.EndMonth, f.EndYear, f.EndHour), QByteArray("03.02.2011 04:00"));
}

QTEST_GUILESS_MAIN(TestLineCodec)
#include "test_linecodec.moc"
