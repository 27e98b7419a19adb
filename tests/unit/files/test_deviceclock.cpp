// The collector's clock: the AT+CCLK text, the question and the missing-time
// timer, against the in-process collector.
#include <QtTest>

#include "cabinets/deviceclock.h"
#include "link/link.h"
#include "link/operatorui.h"
#include "sim/collector.h"
#include "sim/simulatedport.h"

namespace {

struct ClockFixture
{
    ScriptedOperator ui;
    Collector collector{CollectorConfig::quiet()};
    std::unique_ptr<Link> link;

    ClockFixture()
    {
        LinkTimings t;
        t.pumpMs = 1;
        t.replyMs = 300;
        t.clockQuestionMs = 1000;
        link = std::make_unique<Link>(
            [this](const QString &) { return std::make_unique<SimulatedPort>(&collector); }, ui, t);
        link->setMeasurementLogPath(QString());
        link->setPort(QStringLiteral("sim:clock"), QStringLiteral("sim"));
        link->startPump();
    }
    ~ClockFixture() { link->setClosing(); }

    bool open() { return link->waitUntil([this] { return link->state() == Link::Open; }); }
    int commands(int code) const
    {
        int n = 0;
        for (const Collector::LogEntry &e : collector.log())
            n += e.kind == Collector::LogEntry::Kind::Command && e.value == code;
        return n;
    }
};

}  // namespace

class TestDeviceClock : public QObject
{
    Q_OBJECT
private slots:
    void theClockTextForAMoment_data();
    void theClockTextForAMoment();
    void theTimeSeparatorIsAlwaysAColon();
    void aCollectorWithATimeIsAskedFirst_data();
    void aCollectorWithATimeIsAskedFirst();
    void aCollectorWithoutATimeIsSetAtOnce();
    void noAnswerEndsQuietly();
    void twoNoTimeReportsAskOnce();
};

void TestDeviceClock::theClockTextForAMoment_data()
{
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("17 May 2024, 14:03:59")
        << QDateTime(QDate(2024, 5, 17), QTime(14, 3, 59)) << QByteArray("\rAT+CCLK=\"24/05/17,14:03:59+08\"\r\r\r");
    QTest::newRow("1 January 2025, 09:05:00")
        << QDateTime(QDate(2025, 1, 1), QTime(9, 5, 0)) << QByteArray("\rAT+CCLK=\"25/01/01,09:05:00+08\"\r\r\r");
    QTest::newRow("the evening is on the 24-hour clock")
        << QDateTime(QDate(2030, 12, 31), QTime(23, 59, 58)) << QByteArray("\rAT+CCLK=\"30/12/31,23:59:58+08\"\r\r\r");
}

void TestDeviceClock::theClockTextForAMoment()
{
    QFETCH(QDateTime, moment);
    QFETCH(QByteArray, text);
    QCOMPARE(cclkCommandText(moment), text);
}

void TestDeviceClock::theTimeSeparatorIsAlwaysAColon()
{
    const QLocale before;
    // Finnish writes times as 14.03.59.
    QLocale::setDefault(QLocale(QLocale::Finnish, QLocale::Finland));
    QVERIFY(QLocale().timeFormat().contains(QLatin1Char('.')));
    const QByteArray text = cclkCommandText(QDateTime(QDate(2024, 5, 17), QTime(14, 3, 59)));
    QLocale::setDefault(before);
    QCOMPARE(text, QByteArray("\rAT+CCLK=\"24/05/17,14:03:59+08\"\r\r\r"));
}

void TestDeviceClock::aCollectorWithATimeIsAskedFirst_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("result");
    QTest::newRow("No leaves the clock alone") << false << int(ClockResult::Kept);
    QTest::newRow("Yes sets it") << true << int(ClockResult::Set);
}

void TestDeviceClock::aCollectorWithATimeIsAskedFirst()
{
    QFETCH(bool, answer);
    QFETCH(int, result);
    ClockFixture f;
    const QDateTime deviceTime(QDate(2024, 5, 17), QTime(10, 0, 0));
    f.collector.setClock(deviceTime);
    f.ui.answer = answer;
    QVERIFY(f.open());

    const QDateTime now(QDate(2025, 1, 1), QTime(9, 5, 0));
    QCOMPARE(int(setDeviceClock(*f.link, f.ui, now)), result);
    QCOMPARE(f.ui.questions.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^В устройстве установлена следующая дата / время\\.\\r"
                                               "17\\.05\\.24 10:00:0\\d\\rПереустановить\\?$"))
                 .match(f.ui.questions.first())
                 .hasMatch(),
             qPrintable(f.ui.questions.first()));
    if (answer) {
        // The checksum covered the whole text, control characters included.
        QCOMPARE(f.collector.gsmTexts(), QByteArrayList{"\rAT+CCLK=\"25/01/01,09:05:00+08\"\r\r\r"});
        QVERIFY(qAbs(f.collector.clock()->secsTo(now)) < 5);
    } else {
        QVERIFY(f.collector.gsmTexts().isEmpty());
    }
}

void TestDeviceClock::aCollectorWithoutATimeIsSetAtOnce()
{
    ClockFixture f;
    f.collector.clearClock();
    QVERIFY(f.open());
    const QDateTime now(QDate(2024, 5, 17), QTime(14, 3, 59));
    QCOMPARE(int(setDeviceClock(*f.link, f.ui, now)), int(ClockResult::Set));
    QVERIFY(f.ui.questions.isEmpty());
    QCOMPARE(f.collector.gsmTexts(), QByteArrayList{"\rAT+CCLK=\"24/05/17,14:03:59+08\"\r\r\r"});
}

void TestDeviceClock::noAnswerEndsQuietly()
{
    ClockFixture f;
    f.collector.setRefused(7, true);
    QVERIFY(f.open());
    QCOMPARE(int(setDeviceClock(*f.link, f.ui, QDateTime::currentDateTime())), int(ClockResult::NoAnswer));
    QVERIFY(f.ui.questions.isEmpty());
    QVERIFY(f.ui.messages.isEmpty());
    QVERIFY(f.collector.gsmTexts().isEmpty());
    QVERIFY(!readDeviceTime(*f.link));
}

void TestDeviceClock::twoNoTimeReportsAskOnce()
{
    ClockFixture f;
    f.collector.clearClock();
    DeviceClock clock(*f.link, f.ui);
    QVERIFY(f.open());
    f.collector.sendLine("%NOTIME");
    QTest::qWait(20);
    f.collector.sendLine("%NOTIME");
    QTRY_COMPARE(f.collector.gsmTexts().size(), 1);
    QTest::qWait(1200);
    QCOMPARE(f.commands(7), 1);
    QCOMPARE(f.collector.gsmTexts().size(), 1);
    QVERIFY(f.ui.questions.isEmpty());
}

QTEST_GUILESS_MAIN(TestDeviceClock)
#include "test_deviceclock.moc"
