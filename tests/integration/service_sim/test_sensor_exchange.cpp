#include <QSignalSpy>
#include <QtTest>

#include "integration/service_sim/sensorsim.h"
#include "service/measurement.h"
#include "service/sensorrecord.h"
#include "support/clirun.h"

// The sensor service's exchanges against the simulated collector and its
// sensors: what goes on the bus, what comes back, and what the operator is
// told.
class TestSensorExchange : public QObject
{
    Q_OBJECT
private slots:
    void aReadSelectsTheSensorThroughTheBridgeAndReturnsToAutomaticMode_data();
    void aReadSelectsTheSensorThroughTheBridgeAndReturnsToAutomaticMode();
    void aGoodRecordIsReadAsTheSensorKeepsIt();
    void aRecordWithABadChecksumIsReportedAndStillReturned();
    void aSilentSensorIsReportedAsNotAnswering();
    void withSeveralSensorsOnlyTheOneThatTakesBroadcastsAnswersAddress63();
    void aReadGetsTheWholeRecordFromAChattyCollector();
    void aWriteSendsTheRecordPacedAndTheSensorStoresIt();
    void typedValuesAreWrittenWithEitherDecimalSeparator_data();
    void typedValuesAreWrittenWithEitherDecimalSeparator();
    void aMismatchingNumberIsConfirmedAndNoSendsNothing();
    void aRowThatIsNotANumberStopsTheWriteBeforeAnythingIsSent_data();
    void aRowThatIsNotANumberStopsTheWriteBeforeAnythingIsSent();
    void aWriteWithoutAGoodAnswerIsReported_data();
    void aWriteWithoutAGoodAnswerIsReported();
    void measurementModeStreamsFramesUntilItIsSwitchedOff();
    void resetWithAddressingOffReachesEverySensor();
    void searchAndPollSendTheirCommands();
    void theCommandLineToolPrintsTheSixteenRows();
    void theCommandLineToolFailsWhenNoSensorAnswers();
    void theCommandLineToolRefusesABadAddress_data();
    void theCommandLineToolRefusesABadAddress();
};

namespace {

// The collector's bus word 320 then command 2 (bridge) or 1 (automatic mode).
const QStringList bridge = {"bus 320", "cmd 2"};
const QStringList automatic = {"bus 320", "cmd 1"};

QStringList selecting(int word)
{
    return {"bus 320", "bus 320", QStringLiteral("bus %1").arg(word), QStringLiteral("bus %1").arg(word)};
}

QStringList validRows(const QString &number)
{
    QStringList rows = sampleRows(0);
    rows[0] = number;
    return rows;
}

CliRun sensorRead(const QStringList &args)
{
    return runCli(QStringLiteral("sim:demo"), QStringList{QStringLiteral("sensor-read")} + args);
}

QStringList rows(const CliRun &run)
{
    return run.out.split('\n', Qt::SkipEmptyParts);
}

}  // namespace

void TestSensorExchange::aReadSelectsTheSensorThroughTheBridgeAndReturnsToAutomaticMode_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("word");
    QTest::newRow("addressing off: broadcast 63 is word 383") << 63 << 383;
    QTest::newRow("address 7 is word 327") << 7 << 327;
}

void TestSensorExchange::aReadSelectsTheSensorThroughTheBridgeAndReturnsToAutomaticMode()
{
    QFETCH(int, address);
    QFETCH(int, word);
    SensorSim sim;
    sim.addSensor(7, sampleRecord(7));
    QVERIFY(sim.waitOpen());
    sim.settle();
    SensorService service(sim.link, sim.ui, SensorSim::sensorTimings());

    service.readRecord(address);
    QTest::qWait(5);

    // 'R' is 82.
    QCOMPARE(sim.traffic(), bridge + selecting(word) + QStringList{"bus 82"} + automatic);
    QCOMPARE(sim.collector.mode(), Collector::Mode::Auto);
    QVERIFY(!sim.link.portHeld());
    QVERIFY(!service.busy());
    // The sensor's word goes out as the pair 0x80 + low five bits, 0xC0 + the rest.
    const QByteArray pair = word == 383 ? QByteArray::fromHex("9FCB") : QByteArray::fromHex("87CA");
    QCOMPARE(sim.written->count(pair + pair), 1);
}

void TestSensorExchange::aGoodRecordIsReadAsTheSensorKeepsIt()
{
    SensorSim sim;
    sim.addSensor(5, sampleRecord(5));
    QVERIFY(sim.waitOpen());
    SensorService service(sim.link, sim.ui, SensorSim::sensorTimings());

    const SensorService::ReadResult read = service.readRecord(5);

    QCOMPARE(read.outcome, SensorService::ReadOutcome::Good);
    QCOMPARE(read.record.bytes(), sampleRecord(5));
    QVERIFY(sim.ui.messages.isEmpty());
    // Nothing of the answer is left for the pump to take as text.
    QTest::qWait(20);
    QVERIFY(!sim.link.protocol().receivingFrame());
    QVERIFY(sim.link.protocol().pendingLine().isEmpty());
}

void TestSensorExchange::aRecordWithABadChecksumIsReportedAndStillReturned()
{
    SensorSim sim;
    auto sensor = sim.addSensor(5, sampleRecord(5));
    sensor->fault = SimSensor::Fault::BadChecksum;
    QVERIFY(sim.waitOpen());
    SensorService service(sim.link, sim.ui, SensorSim::sensorTimings());

    const SensorService::ReadResult read = service.readRecord(5);

    QCOMPARE(read.outcome, SensorService::ReadOutcome::BadChecksum);
    QCOMPARE(sim.ui.messages, QStringList{"Ошибка CRC!"});
    QCOMPARE(read.record.bytes().left(62), sampleRecord(5).left(62));
}

void TestSensorExchange::aSilentSensorIsReportedAsNotAnswering()
{
    SensorSim sim;
    auto sensor = sim.addSensor(5, sampleRecord(5));
    sensor->fault = SimSensor::Fault::Silent;
    QVERIFY(sim.waitOpen());
    sim.settle();
    SensorService service(sim.link, sim.ui, SensorSim::sensorTimings());

    const SensorService::ReadResult read = service.readRecord(5);
    QTest::qWait(5);

    QCOMPARE(read.outcome, SensorService::ReadOutcome::NoAnswer);
    QCOMPARE(sim.ui.messages, QStringList{"Устройство не отвечает!"});
    QCOMPARE(sim.traffic().mid(sim.traffic().size() - 2), automatic);
    QVERIFY(!sim.link.portHeld());
}

void TestSensorExchange::withSeveralSensorsOnlyTheOneThatTakesBroadcastsAnswersAddress63()
{
    SensorSim sim;
    auto quiet = sim.addSensor(3, sampleRecord(3));
    quiet->answersBroadcast = false;
    sim.addSensor(8, sampleRecord(8));
    QVERIFY(sim.waitOpen());
    SensorService service(sim.link, sim.ui, SensorSim::sensorTimings());

    const SensorService::ReadResult read = service.readRecord(63);
    QCOMPARE(read.outcome, SensorService::ReadOutcome::Good);
    QCOMPARE(read.record.number(), quint16(8));
    // Nothing more came than the one record.
    QTest::qWait(20);
    QVERIFY(sim.link.protocol().pendingLine().isEmpty());
    QVERIFY(sim.ui.messages.isEmpty());

    // Addressed by its own word it answers as usual.
    QCOMPARE(service.readRecord(3).record.number(), quint16(3));
}

void TestSensorExchange::aReadGetsTheWholeRecordFromAChattyCollector()
{
    CollectorConfig chatty = CollectorConfig::quiet();
    chatty.cabinets = {{5, 0x05}};
    chatty.reportMs = 1;
    chatty.clockMs = 1;
    chatty.statusMs = 1;
    SensorSim sim(QString(), chatty);
    sim.addSensor(5, sampleRecord(5));
    QVERIFY(sim.waitOpen());
    SensorTimings slow = SensorSim::sensorTimings();
    slow.replyMs = 5;   // several report periods between the command and the answer
    SensorService service(sim.link, sim.ui, slow);

    for (int i = 0; i < 20; ++i) {
        const SensorService::ReadResult read = service.readRecord(5);
        QCOMPARE(read.outcome, SensorService::ReadOutcome::Good);
        QCOMPARE(read.record.bytes(), sampleRecord(5));
    }
    QVERIFY(sim.ui.messages.isEmpty());
    // Its reports still reach the program.
    QSignalSpy reports(&sim.link, &Link::boxLine);
    QVERIFY(reports.wait(2000));
}

void TestSensorExchange::aWriteSendsTheRecordPacedAndTheSensorStoresIt()
{
    SensorSim sim;
    auto sensor = sim.addSensor(2, sampleRecord(2));
    auto other = sim.addSensor(3, sampleRecord(3));
    QVERIFY(sim.waitOpen());
    sim.settle();
    SensorService service(sim.link, sim.ui, SensorSim::sensorTimings());
    QStringList rows = sampleRows(2);
    rows[5] = "-7,25e+01";

    QCOMPARE(service.writeRecord(2, rows), SensorService::WriteOutcome::Written);
    QTest::qWait(5);

    QCOMPARE(sim.ui.messages, QStringList{"Данные записаны. CRC - OK."});
    QVERIFY(sim.ui.questions.isEmpty());
    const SensorRecord stored = SensorRecord::fromBytes(sensor->record());
    QVERIFY(stored.checksumOk());
    QCOMPARE(stored.number(), quint16(2));
    QCOMPARE(stored.value(5), -72.5f);
    QCOMPARE(other->record(), sampleRecord(3));
    // 'W' as a paced byte: eight fillers, then the bus pair of 0x57.
    QVERIFY(sim.written->contains(QByteArray(8, char(0x80)) + QByteArray::fromHex("97C2")));
    const QStringList traffic = sim.traffic();
    QCOMPARE(traffic.mid(0, 6), bridge + selecting(322));
    QCOMPARE(traffic.mid(6, 1), QStringList{"bus 87"});
    QCOMPARE(traffic.size(), 2 + 4 + 1 + 64 + 2);
    QCOMPARE(traffic.mid(traffic.size() - 2), automatic);
}

void TestSensorExchange::typedValuesAreWrittenWithEitherDecimalSeparator_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<float>("stored");
    QTest::newRow("a point") << "1.5" << 1.5f;
    QTest::newRow("a comma") << "1,5" << 1.5f;
    QTest::newRow("exponent with a point") << "2.5e-3" << 0.0025f;
    QTest::newRow("as the list shows it") << "-1,250000e+02" << -125.0f;
}

void TestSensorExchange::typedValuesAreWrittenWithEitherDecimalSeparator()
{
    QFETCH(QString, typed);
    QFETCH(float, stored);
    SensorSim sim;
    auto sensor = sim.addSensor(9, sampleRecord(9));
    QVERIFY(sim.waitOpen());
    SensorService service(sim.link, sim.ui, SensorSim::sensorTimings());
    QStringList rows = sampleRows(9);
    rows[13] = typed;

    QCOMPARE(service.writeRecord(9, rows), SensorService::WriteOutcome::Written);

    QCOMPARE(SensorRecord::fromBytes(sensor->record()).value(13), stored);
}

void TestSensorExchange::aMismatchingNumberIsConfirmedAndNoSendsNothing()
{
    SensorSim sim;
    auto sensor = sim.addSensor(5, sampleRecord(5));
    QVERIFY(sim.waitOpen());
    sim.settle();
    SensorService service(sim.link, sim.ui, SensorSim::sensorTimings());
    sim.ui.answer = false;

    QCOMPARE(service.writeRecord(63, validRows("5")), SensorService::WriteOutcome::Declined);
    QTest::qWait(5);

    QCOMPARE(sim.ui.questions, QStringList{"Номер датчика не совпадает!\nТочно записать?"});
    QVERIFY(sim.written->isEmpty());
    QVERIFY(sim.collector.log().isEmpty());

    sim.ui.answer = true;
    QCOMPARE(service.writeRecord(63, validRows("5")), SensorService::WriteOutcome::Written);
    QCOMPARE(sim.ui.questions.size(), 2);
    QCOMPARE(SensorRecord::fromBytes(sensor->record()).number(), quint16(5));

    // A matching number asks nothing.
    QCOMPARE(service.writeRecord(5, validRows("5")), SensorService::WriteOutcome::Written);
    QCOMPARE(sim.ui.questions.size(), 2);
}

void TestSensorExchange::aRowThatIsNotANumberStopsTheWriteBeforeAnythingIsSent_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("the number is text") << 0 << "пять" << "Значение «пять» в строке «Номер» не является допустимым числом!";
    QTest::newRow("the number does not fit 16 bits") << 0 << "70000"
                                                     << "Значение «70000» в строке «Номер» не является допустимым числом!";
    QTest::newRow("a value with two commas") << 9 << "1,2,3" << "Значение «1,2,3» в строке «4» не является допустимым числом!";
    QTest::newRow("an empty last row") << 15 << "" << "Значение «» в строке «k3» не является допустимым числом!";
    QTest::newRow("a value beyond float32") << 14 << "1e39" << "Значение «1e39» в строке «k2» не является допустимым числом!";
}

void TestSensorExchange::aRowThatIsNotANumberStopsTheWriteBeforeAnythingIsSent()
{
    QFETCH(int, row);
    QFETCH(QString, text);
    QFETCH(QString, message);
    SensorSim sim;
    auto sensor = sim.addSensor(5, sampleRecord(5));
    QVERIFY(sim.waitOpen());
    sim.settle();
    SensorService service(sim.link, sim.ui, SensorSim::sensorTimings());
    sim.ui.answer = true;
    QStringList rows = sampleRows(5);
    rows[row] = text;

    QCOMPARE(service.writeRecord(5, rows), SensorService::WriteOutcome::Invalid);
    QTest::qWait(5);

    QCOMPARE(sim.ui.messages, QStringList{message});
    QVERIFY(sim.written->isEmpty());
    QCOMPARE(sensor->writes(), 0);
}

void TestSensorExchange::aWriteWithoutAGoodAnswerIsReported_data()
{
    QTest::addColumn<SimSensor::Fault>("fault");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("message");
    QTest::newRow("silent") << SimSensor::Fault::Silent << int(SensorService::WriteOutcome::NoAnswer)
                            << "Устройство не отвечает!";
    QTest::newRow("bad checksum") << SimSensor::Fault::BadChecksum << int(SensorService::WriteOutcome::BadChecksum)
                                  << "Ошибка CRC!";
}

void TestSensorExchange::aWriteWithoutAGoodAnswerIsReported()
{
    QFETCH(SimSensor::Fault, fault);
    QFETCH(int, outcome);
    QFETCH(QString, message);
    SensorSim sim;
    auto sensor = sim.addSensor(5, sampleRecord(5));
    sensor->fault = fault;
    QVERIFY(sim.waitOpen());
    sim.settle();
    SensorService service(sim.link, sim.ui, SensorSim::sensorTimings());

    QCOMPARE(int(service.writeRecord(5, sampleRows(5))), outcome);
    QTest::qWait(5);

    QCOMPARE(sim.ui.messages, QStringList{message});
    QCOMPARE(sim.traffic().mid(sim.traffic().size() - 2), automatic);
    QVERIFY(!sim.link.portHeld());
}

void TestSensorExchange::measurementModeStreamsFramesUntilItIsSwitchedOff()
{
    SensorSim sim;
    auto sensor = sim.addSensor(4, sampleRecord(4));
    sensor->setFrameInterval(2);
    sensor->measure = [](quint32 n) { return SimSensor::Measurement{36.0f, 256 + n, -1.5f}; };
    QVERIFY(sim.waitOpen());
    sim.settle();
    SensorService service(sim.link, sim.ui, SensorSim::sensorTimings());
    MeasurementMonitor monitor(sim.link);
    QSignalSpy frames(&monitor, &MeasurementMonitor::frameShown);

    service.startMeasurement(4);
    QTRY_VERIFY(frames.size() >= 3);

    // 'D' is 68; the collector stays in bridge mode for the frames.
    QCOMPARE(sim.traffic(), bridge + QStringList({"bus 324", "bus 324", "bus 68"}));
    QCOMPARE(sim.collector.mode(), Collector::Mode::Bridge);
    const FrameTexts first = frames.first().first().value<FrameTexts>();
    QCOMPARE(first.extt, "  36.000");
    QCOMPARE(first.hum, "256");
    QCOMPARE(first.Edit2, "00 00 01 00");
    QCOMPARE(first.intt, "  -1.500");
    QCOMPARE(first.Edit3, "BF C0 00 00");

    sim.collector.clearLog();
    service.stopMeasurement();
    QTRY_COMPARE(sim.collector.mode(), Collector::Mode::Auto);
    QCOMPARE(sim.traffic(), QStringList({"bus 320", "bus 320"}) + automatic);
    QVERIFY(!sensor->streaming());
    QVERIFY(!sim.link.portHeld());
    QTest::qWait(20);
    const qsizetype shown = frames.size();
    QTest::qWait(20);
    QCOMPARE(frames.size(), shown);
}

void TestSensorExchange::resetWithAddressingOffReachesEverySensor()
{
    SensorSim sim;
    auto a = sim.addSensor(4, sampleRecord(4));
    auto b = sim.addSensor(11, sampleRecord(11));
    b->answersBroadcast = false;
    QVERIFY(sim.waitOpen());
    sim.settle();
    SensorService service(sim.link, sim.ui, SensorSim::sensorTimings());
    // The reset goes out in whatever mode the collector is; here, bridge.
    service.bridgeMode();
    sim.settle();

    service.resetSensor(63);
    QTest::qWait(5);

    // 'e' is 101; no mode command before or after.
    QCOMPARE(sim.traffic(), QStringList({"bus 383", "bus 383", "bus 101"}));
    QCOMPARE(a->resets(), 1);
    QCOMPARE(b->resets(), 1);
    QVERIFY(!sim.link.portHeld());
}

void TestSensorExchange::searchAndPollSendTheirCommands()
{
    SensorSim sim;
    QVERIFY(sim.waitOpen());
    sim.settle();
    SensorService service(sim.link, sim.ui, SensorSim::sensorTimings());

    service.search();
    QCOMPARE(*sim.written, QByteArray::fromHex("83E1"));
    service.poll();
    QCOMPARE(*sim.written, QByteArray::fromHex("83E184E1"));
}

void TestSensorExchange::theCommandLineToolPrintsTheSixteenRows()
{
    // The demonstration's sensor in cabinet 1 answers broadcast requests.
    for (const QStringList &args : {QStringList{}, QStringList{"--address", "1"}}) {
        const CliRun run = sensorRead(args);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QStringList out = rows(run);
        QCOMPARE(out.size(), 16);
        QCOMPARE(out[0], "Номер\t1");
        QCOMPARE(out[1], "hum_zerro_offset\t3,600000e-01");
        QCOMPARE(out[7], "2\t8,000000e+00");
        QCOMPARE(out[13], "Дельта термостат\t2,000000e-01");
        QCOMPARE(out[15], "k3\t4,750000e+04");
    }
    const CliRun seven = sensorRead({"--address", "7"});
    QCOMPARE(seven.exitCode, 0);
    QCOMPARE(rows(seven).value(0), "Номер\t7");
}

void TestSensorExchange::theCommandLineToolFailsWhenNoSensorAnswers()
{
    const CliRun run = sensorRead({"--address", "40"});
    QVERIFY(run.exitCode != 0);
    QVERIFY(rows(run).isEmpty());
    QVERIFY2(run.err.contains("Устройство не отвечает!"), qPrintable(run.err));
    QVERIFY2(run.err.contains("did not answer"), qPrintable(run.err));
}

void TestSensorExchange::theCommandLineToolRefusesABadAddress_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("zero") << QStringList{"--address", "0"};
    QTest::newRow("beyond the bus") << QStringList{"--address", "64"};
    QTest::newRow("not a number") << QStringList{"--address", "seven"};
    QTest::newRow("no value") << QStringList{"--address"};
    QTest::newRow("an unknown option") << QStringList{"--adress", "5"};
}

void TestSensorExchange::theCommandLineToolRefusesABadAddress()
{
    QFETCH(QStringList, args);
    const CliRun run = sensorRead(args);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(rows(run).isEmpty());
}

QTEST_MAIN(TestSensorExchange)
#include "test_sensor_exchange.moc"
