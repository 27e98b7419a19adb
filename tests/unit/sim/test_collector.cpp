#include <QtTest>

#include "sim/collector.h"
#include "simfixture.h"

Q_DECLARE_METATYPE(Collector::Mode)
Q_DECLARE_METATYPE(Collector::Checksum)

namespace {

constexpr quint8 connected = 0x01;
constexpr quint8 inAlarm = 0x02;
constexpr quint8 monitored = 0x04;
constexpr quint8 temporary = 0x08;

CollectorConfig twoCabinets()
{
    CollectorConfig config = CollectorConfig::quiet();
    config.cabinets = {{5, connected | monitored}, {12, inAlarm | monitored}};
    return config;
}

// Answers every bus byte with the byte plus one.
class EchoDevice : public BusDevice
{
public:
    explicit EchoDevice(int address) : address_(address) {}
    int busAddress() const override { return address_; }
    void busByte(quint8 byte, const Reply &reply) override
    {
        const char answer = char(byte + 1);
        reply(QByteArrayView(&answer, 1));
    }

private:
    int address_;
};

}  // namespace

class TestCollector : public QObject
{
    Q_OBJECT
private slots:
    void cardCommandIsAcknowledgedWithALine();
    void argumentChecksumDecidesTheReply_data();
    void argumentChecksumDecidesTheReply();
    void resetEmptiesTheArgumentAndEveryCommandConsumesIt();
    void unknownCommandsAndOverlongArgumentsAreRefused();
    void modeChangesOnlyAfterTheCollectorWord_data();
    void modeChangesOnlyAfterTheCollectorWord();
    void bridgeModePassesBusBytesToTheAddressedDevice();
    void refusedCommandGetsNUntilAllowedAgain();
    void silentCollectorHearsButNeverSpeaks();
    void outgoingFilterCanCorruptOrDropWhatIsSent();
    void reportCycleOpensWithZeroAndClosesWith64();
    void clockLineIsTimeOrNoTime();
    void getTimeSendsTheTimeBeforeTheAcknowledgement();
    void cclkTextSetsTheClock_data();
    void cclkTextSetsTheClock();
    void answersWaitWhileTheGsmModuleTalks();
    void searchReportsAtOnceWithoutAReply();
    void timersSendEveryKindOfUnsolicitedLine();
};

void TestCollector::cardCommandIsAcknowledgedWithALine()
{
    SimFixture sim;
    sim.collector.receive(hexBytes("88 E1 88 E1 95 E1"));
    QCOMPARE(sim.take(), QByteArray("%A\r\n"));
    QCOMPARE(sim.collector.log().last().value, 21);
    QCOMPARE(sim.collector.log().last().reply, Collector::Reply::Ack);
}

void TestCollector::argumentChecksumDecidesTheReply_data()
{
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<Collector::Checksum>("checksum");
    QTest::addColumn<int>("stateOf5");

    const int before = connected | monitored;
    // Cabinet 5 with its checksum 0x437F, low byte first.
    QTest::newRow("good checksum puts cabinet 5 under temporary control")
        << hexBytes("85 A0 9F A3 83 A2 97 E1") << QByteArray("%A\r\n") << Collector::Checksum::Good
        << (before | temporary);
    QTest::newRow("checksum high and low bytes swapped is refused")
        << hexBytes("85 A0 83 A2 9F A3 97 E1") << QByteArray("%N\r\n") << Collector::Checksum::Bad << before;
    QTest::newRow("checksum off by one is refused")
        << hexBytes("85 A0 80 A4 83 A2 97 E1") << QByteArray("%N\r\n") << Collector::Checksum::Bad << before;
    QTest::newRow("an argument without its checksum is refused")
        << hexBytes("85 A0 97 E1") << QByteArray("%N\r\n") << Collector::Checksum::Missing << before;
    QTest::newRow("no argument at all is refused")
        << hexBytes("97 E1") << QByteArray("%N\r\n") << Collector::Checksum::Missing << before;
    QTest::newRow("two cabinet bytes with a good checksum are refused")
        << hexBytes("85 A0 85 A0 82 A6 83 A7 97 E1") << QByteArray("%N\r\n") << Collector::Checksum::Good
        << before;
    // Cabinet 9 (checksum 0x467F) is not on the bus.
    QTest::newRow("an absent cabinet is refused")
        << hexBytes("89 A0 9F A3 86 A2 97 E1") << QByteArray("%N\r\n") << Collector::Checksum::Good << before;
    QTest::newRow("pacing bytes inside the argument do not disturb it")
        << hexBytes("80 80 85 A0 80 9F A3 83 A2 97 E1") << QByteArray("%A\r\n") << Collector::Checksum::Good
        << (before | temporary);
}

void TestCollector::argumentChecksumDecidesTheReply()
{
    QFETCH(QByteArray, wire);
    QFETCH(QByteArray, reply);
    QFETCH(Collector::Checksum, checksum);
    QFETCH(int, stateOf5);

    SimFixture sim(twoCabinets());
    sim.collector.receive(wire);
    QCOMPARE(sim.take(), reply);
    QCOMPARE(sim.collector.log().last().checksum, checksum);
    QCOMPARE(int(sim.collector.cabinetState(5)), stateOf5);
}

void TestCollector::resetEmptiesTheArgumentAndEveryCommandConsumesIt()
{
    SimFixture sim(twoCabinets());
    // A stray data byte makes the argumentless card command disagree...
    sim.collector.receive(hexBytes("81 A2 95 E1"));
    QCOMPARE(sim.take(), QByteArray("%N\r\n"));
    // ... unless a reset came in between.
    sim.collector.receive(hexBytes("81 A2 88 E1 95 E1"));
    QCOMPARE(sim.take(), QByteArray("%A\r\n"));

    // Two requests back to back without a reset: each takes only its own argument.
    sim.collector.receive(hexBytes("85 A0 9F A3 83 A2 97 E1 85 A0 9F A3 83 A2 96 E1"));
    QCOMPARE(sim.take(), QByteArray("%A\r\n%A\r\n"));
    QCOMPARE(int(sim.collector.cabinetState(5)), connected | monitored);
}

void TestCollector::unknownCommandsAndOverlongArgumentsAreRefused()
{
    SimFixture sim;
    sim.collector.receive(hexBytes("88 E1 9E E1"));
    QCOMPARE(sim.take(), QByteArray("%N\r\n"));

    const QByteArray text(Collector::maxArgument + 10, 'x');
    sim.collector.receive(SimFixture::request(text, 9));
    QCOMPARE(sim.take(), QByteArray("%N\r\n"));
    QVERIFY(sim.collector.gsmTexts().isEmpty());

    // The overflow is forgotten with that command.
    sim.collector.receive(SimFixture::request("*s", 9));
    QCOMPARE(sim.take(), QByteArray("%A\r\n"));
}

void TestCollector::modeChangesOnlyAfterTheCollectorWord_data()
{
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<Collector::Mode>("mode");

    QTest::newRow("word 320 then command 2 switches to bridge") << hexBytes("80 CA 82 E1") << Collector::Mode::Bridge;
    QTest::newRow("command 2 alone is ignored") << hexBytes("82 E1") << Collector::Mode::Auto;
    QTest::newRow("word 321 is a device, not the collector") << hexBytes("81 CA 82 E1") << Collector::Mode::Auto;
    QTest::newRow("a data byte between the word and the command breaks it")
        << hexBytes("80 CA 81 A2 82 E1") << Collector::Mode::Auto;
    QTest::newRow("the word counts for one command only")
        << hexBytes("80 CA 88 E1 82 E1") << Collector::Mode::Auto;
    QTest::newRow("bridge and back to auto") << hexBytes("80 CA 82 E1 80 CA 81 E1") << Collector::Mode::Auto;
    QTest::newRow("auto without the word leaves bridge mode on")
        << hexBytes("80 CA 82 E1 81 E1") << Collector::Mode::Bridge;
}

void TestCollector::modeChangesOnlyAfterTheCollectorWord()
{
    QFETCH(QByteArray, wire);
    QFETCH(Collector::Mode, mode);

    SimFixture sim;
    sim.collector.receive(wire);
    QCOMPARE(sim.collector.mode(), mode);
    QCOMPARE(sim.take(), QByteArray());  // mode commands are never answered
}

void TestCollector::bridgeModePassesBusBytesToTheAddressedDevice()
{
    SimFixture sim;
    sim.collector.addBusDevice(std::make_shared<EchoDevice>(7));

    // Addressed, but the collector is still in auto mode: nothing passes.
    sim.collector.receive(hexBytes("87 CA 81 C2"));
    QCOMPARE(sim.take(), QByteArray());

    sim.collector.receive(hexBytes("80 CA 82 E1"));  // bridge
    sim.collector.receive(hexBytes("87 CA 81 C2"));  // device 7, bus byte 'A'
    QCOMPARE(sim.take(), QByteArray("B"));
    sim.collector.receive(hexBytes("80 80 80 80 80 80 80 80 82 C2"));  // paced 'B'
    QCOMPARE(sim.take(), QByteArray("C"));
    sim.collector.receive(hexBytes("88 CA 81 C2"));  // device 8 is not there
    QCOMPARE(sim.take(), QByteArray());
    sim.collector.receive(hexBytes("9F CB 81 C2"));  // broadcast
    QCOMPARE(sim.take(), QByteArray("B"));
    sim.collector.receive(hexBytes("80 CA 81 E1 81 C2"));  // back to auto
    QCOMPARE(sim.take(), QByteArray());
    QCOMPARE(sim.collector.mode(), Collector::Mode::Auto);
}

void TestCollector::refusedCommandGetsNUntilAllowedAgain()
{
    SimFixture sim(twoCabinets());
    sim.collector.setRefused(21, true);
    sim.collector.receive(hexBytes("88 E1 95 E1"));
    QCOMPARE(sim.take(), QByteArray("%N\r\n"));
    // Other commands are not affected, and a refused command is not carried out.
    sim.collector.setRefused(23, true);
    sim.collector.clearClock();
    sim.collector.receive(hexBytes("85 A0 9F A3 83 A2 97 E1 88 E1 87 E1"));
    QCOMPARE(sim.take(), QByteArray("%N\r\n%A\r\n"));
    QCOMPARE(int(sim.collector.cabinetState(5)), connected | monitored);

    sim.collector.setRefused(21, false);
    sim.collector.receive(hexBytes("88 E1 95 E1"));
    QCOMPARE(sim.take(), QByteArray("%A\r\n"));
}

void TestCollector::silentCollectorHearsButNeverSpeaks()
{
    SimFixture sim(twoCabinets());
    sim.collector.setSilent(true);
    sim.collector.receive(hexBytes("88 E1 95 E1 85 A0 9F A3 83 A2 97 E1"));
    sim.collector.sendReportCycle();
    sim.collector.sendClockLine();
    sim.collector.sendCardAndTaskLines();
    sim.collector.beginGsmTalk();
    sim.collector.endGsmTalk();
    QCOMPARE(sim.take(), QByteArray());
    // It still did what it was told.
    QCOMPARE(int(sim.collector.cabinetState(5)), connected | monitored | temporary);

    sim.collector.setSilent(false);
    sim.collector.receive(hexBytes("88 E1 95 E1"));
    QCOMPARE(sim.take(), QByteArray("%A\r\n"));
}

void TestCollector::outgoingFilterCanCorruptOrDropWhatIsSent()
{
    SimFixture sim;
    sim.collector.setOutgoingFilter([](const QByteArray &bytes) {
        QByteArray changed = bytes;
        return changed.replace("%A", "%N");
    });
    sim.collector.receive(hexBytes("88 E1 95 E1"));
    QCOMPARE(sim.take(), QByteArray("%N\r\n"));

    sim.collector.setOutgoingFilter([](const QByteArray &) { return QByteArray(); });
    sim.collector.receive(hexBytes("88 E1 95 E1"));
    QCOMPARE(sim.take(), QByteArray());
}

void TestCollector::reportCycleOpensWithZeroAndClosesWith64()
{
    SimFixture sim(twoCabinets());
    sim.collector.sendReportCycle();
    QCOMPARE(sim.take(), QByteArray("%BOX: 0,0\r\n%BOX: 5,5\r\n%BOX: 12,6\r\n%BOX: 64,0\r\n"));

    // Temporary control shows in the next cycle; taking it off clears only bit 3.
    sim.collector.receive(hexBytes("8C A0 9F A5 85 A2 97 E1"));  // cabinet 12 on
    QCOMPARE(sim.take(), QByteArray("%A\r\n"));
    sim.collector.sendReportCycle();
    QCOMPARE(sim.take(), QByteArray("%BOX: 0,0\r\n%BOX: 5,5\r\n%BOX: 12,14\r\n%BOX: 64,0\r\n"));
    sim.collector.receive(hexBytes("8C A0 9F A5 85 A2 96 E1"));  // cabinet 12 off
    QCOMPARE(sim.take(), QByteArray("%A\r\n"));
    QCOMPARE(int(sim.collector.cabinetState(12)), inAlarm | monitored);

    CollectorConfig none = CollectorConfig::quiet();
    SimFixture empty(none);
    empty.collector.sendReportCycle();
    QCOMPARE(empty.take(), QByteArray("%BOX: 0,0\r\n%BOX: 64,0\r\n"));
}

void TestCollector::clockLineIsTimeOrNoTime()
{
    SimFixture sim;
    sim.collector.setClock(QDateTime(QDate(2025, 1, 1), QTime(9, 5, 0)));
    sim.collector.sendClockLine();
    const QByteArray line = sim.take();
    QVERIFY2(line.startsWith("%TIME:01.01.25 09:0") && line.endsWith("\r\n") && line.size() == 25, line);

    sim.collector.clearClock();
    sim.collector.sendClockLine();
    QCOMPARE(sim.take(), QByteArray("%NOTIME\r\n"));
}

void TestCollector::getTimeSendsTheTimeBeforeTheAcknowledgement()
{
    SimFixture sim;
    sim.collector.receive(hexBytes("88 E1 88 E1 87 E1"));
    const QList<QByteArray> lines = sim.take().split('\n');
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines[0].startsWith("%TIME:") && lines[0].size() > 7, lines[0]);
    QCOMPARE(lines[1], QByteArray("%A\r"));

    // Without a time only the acknowledgement comes: a "%NOTIME" here would
    // start the program's clock question all over again.
    sim.collector.clearClock();
    sim.collector.receive(hexBytes("88 E1 88 E1 87 E1"));
    QCOMPARE(sim.take(), QByteArray("%A\r\n"));
}

void TestCollector::cclkTextSetsTheClock_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QDateTime>("clock");  // invalid: stays unset

    QTest::newRow("the program's clock setting text")
        << QByteArray("\rAT+CCLK=\"24/05/17,14:03:59+08\"\r\r\r") << QDateTime(QDate(2024, 5, 17), QTime(14, 3, 59));
    QTest::newRow("a negative zone is a zone too")
        << QByteArray("\rAT+CCLK=\"25/01/01,09:05:00-04\"\r\r\r") << QDateTime(QDate(2025, 1, 1), QTime(9, 5, 0));
    QTest::newRow("month 13 does not exist") << QByteArray("\rAT+CCLK=\"24/13/17,14:03:59+08\"\r\r\r") << QDateTime();
    QTest::newRow("hour 24 does not exist") << QByteArray("\rAT+CCLK=\"24/05/17,24:03:59+08\"\r\r\r") << QDateTime();
    QTest::newRow("another time separator is not the command")
        << QByteArray("\rAT+CCLK=\"24/05/17,14.03.59+08\"\r\r\r") << QDateTime();
    QTest::newRow("a settings request is no clock") << QByteArray("\r*s\r") << QDateTime();
}

void TestCollector::cclkTextSetsTheClock()
{
    QFETCH(QByteArray, text);
    QFETCH(QDateTime, clock);

    SimFixture sim;
    sim.collector.clearClock();
    sim.collector.receive(SimFixture::request(text, 9));
    QCOMPARE(sim.take(), QByteArray("%A\r\n"));
    QCOMPARE(sim.collector.gsmTexts(), QByteArrayList{text});
    if (!clock.isValid()) {
        QVERIFY(!sim.collector.clock());
        return;
    }
    QVERIFY(sim.collector.clock());
    const qint64 drift = clock.secsTo(*sim.collector.clock());
    QVERIFY2(drift >= 0 && drift < 600, qPrintable(QString::number(drift)));  // the clock runs on
}

void TestCollector::answersWaitWhileTheGsmModuleTalks()
{
    SimFixture sim;
    sim.collector.beginGsmTalk();
    QCOMPARE(sim.take(), QByteArray("\x03"));
    sim.collector.receive(hexBytes("88 E1 95 E1"));
    QCOMPARE(sim.take(), QByteArray());
    sim.collector.endGsmTalk();
    QCOMPARE(sim.take(), QByteArray("\x04\r\n%A\r\n"));
    sim.collector.endGsmTalk();
    QCOMPARE(sim.take(), QByteArray());
}

void TestCollector::searchReportsAtOnceWithoutAReply()
{
    SimFixture quiet(twoCabinets());
    quiet.collector.receive(hexBytes("80 CA 81 E1 83 E1"));
    QCOMPARE(quiet.take(), QByteArray());

    CollectorConfig config = twoCabinets();
    config.reportMs = config.statusMs = 3600 * 1000;
    config.taskPresent = false;
    SimFixture sim(config);
    sim.collector.receive(hexBytes("80 CA 81 E1 83 E1"));
    QCOMPARE(sim.take(), QByteArray("%CARD:1\r\n%RULE:0\r\n"
                                    "%BOX: 0,0\r\n%BOX: 5,5\r\n%BOX: 12,6\r\n%BOX: 64,0\r\n"));
}

void TestCollector::timersSendEveryKindOfUnsolicitedLine()
{
    CollectorConfig config = twoCabinets();
    config.reportMs = 20;
    config.statusMs = 20;
    config.clockMs = 20;
    config.cardPresent = false;
    config.gsmChatter = true;
    config.gsmIntervalMs = 30;
    config.gsmTalkMs = 10;
    SimFixture sim(config);
    QTRY_VERIFY_WITH_TIMEOUT(sim.sent.contains("\x04\r\n") && sim.sent.contains("%BOX: 64,0\r\n")
                                 && sim.sent.contains("%CARD:0\r\n") && sim.sent.contains("%RULE:1\r\n")
                                 && sim.sent.contains("%TIME:"),
                             20000);
    // Nothing but whole lines and the markers' own line.
    const QList<QByteArray> lines = sim.take().split('\n');
    for (const QByteArray &line : lines.first(lines.size() - 1))
        QVERIFY2(line.endsWith('\r') && (line.startsWith('%') || line == "\x03\x04\r"), line);

    config.reportMs = config.statusMs = config.clockMs = 0;
    config.gsmChatter = false;
    sim.collector.setConfig(config);
    sim.take();
    QTest::qWait(100);
    QVERIFY2(sim.sent.isEmpty() || sim.sent == "\x04\r\n", sim.sent);
}

QTEST_GUILESS_MAIN(TestCollector)
#include "test_collector.moc"
