#include <QtTest>

#include "sim/collector.h"
#include "sim/portfactory.h"
#include "sim/simulatedport.h"
#include "simfixture.h"

namespace {

QByteArray readAll(SerialPort &port)
{
    QByteArray all;
    char buffer[64];
    qint64 n;
    while ((n = port.read(buffer, sizeof buffer)) > 0)
        all.append(buffer, n);
    return all;
}

}  // namespace

class TestSimulatedPort : public QObject
{
    Q_OBJECT
private slots:
    void opensOnlySimulatorPaths_data();
    void opensOnlySimulatorPaths();
    void writesReachTheCollectorFromTheEventLoopOrAFlush();
    void readTakesAtMostWhatWasAskedAndNeverBlocks();
    void anUnpluggedPortFailsUntilPluggedBackIn();
    void collectorStateSurvivesACloseAndReopen();
    void onlyOnePortHoldsTheCollector();
    void pacedTransferArrivesWholeAndInOrder();
    void factoryServesTheDemonstrationCollector();
};

void TestSimulatedPort::opensOnlySimulatorPaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("opens");
    QTest::newRow("the demonstration path") << "sim:demo" << true;
    QTest::newRow("any sim: path") << "sim:bench" << true;
    QTest::newRow("a serial device") << "/dev/ttyS0" << false;
    QTest::newRow("offline") << "offline" << false;
    QTest::newRow("empty") << "" << false;
}

void TestSimulatedPort::opensOnlySimulatorPaths()
{
    QFETCH(QString, path);
    QFETCH(bool, opens);
    Collector collector(CollectorConfig::quiet());
    SimulatedPort port(&collector);
    QCOMPARE(port.open(path), opens);
    QCOMPARE(port.isOpen(), opens);
    if (!opens)
        QVERIFY(!port.errorText().isEmpty());
}

void TestSimulatedPort::writesReachTheCollectorFromTheEventLoopOrAFlush()
{
    Collector collector(CollectorConfig::quiet());
    SimulatedPort port(&collector);
    QVERIFY(port.open(QStringLiteral("sim:test")));
    QVERIFY(port.configure(460800));
    QCOMPARE(port.baudRate(), 460800);

    QCOMPARE(port.write(hexBytes("88 E1 88 E1 95 E1")), qint64(6));
    // Not inside write(): the answer cannot be there before the request left.
    QVERIFY(collector.log().isEmpty());
    QCOMPARE(readAll(port), QByteArray());
    // A flush waits until the bytes have left, as a real port's does.
    QVERIFY(port.flush());
    QCOMPARE(collector.log().size(), 3);

    QByteArray got;
    QTRY_VERIFY((got += readAll(port)).size() >= 4);
    QCOMPARE(got, QByteArray("%A\r\n"));
    QCOMPARE(collector.log().size(), 3);
}

void TestSimulatedPort::readTakesAtMostWhatWasAskedAndNeverBlocks()
{
    SimFixture sim;
    SimulatedPort port(&sim.collector);
    char buffer[8] = {};
    QCOMPARE(port.read(buffer, sizeof buffer), qint64(-1));  // not open
    QVERIFY(port.open(QStringLiteral("sim:test")));
    QCOMPARE(port.read(buffer, sizeof buffer), qint64(0));

    sim.collector.sendLine("%CARD:1");
    QCOMPARE(port.read(buffer, 3), qint64(3));
    QCOMPARE(QByteArray(buffer, 3), QByteArray("%CA"));
    QCOMPARE(readAll(port), QByteArray("RD:1\r\n"));

    sim.collector.sendLine("%RULE:1");
    port.purge();
    QCOMPARE(port.read(buffer, sizeof buffer), qint64(0));
}

void TestSimulatedPort::anUnpluggedPortFailsUntilPluggedBackIn()
{
    SimFixture sim;
    SimulatedPort port(&sim.collector);
    QVERIFY(port.open(QStringLiteral("sim:test")));
    char buffer[8];

    port.setDisconnected(true);
    QCOMPARE(port.read(buffer, sizeof buffer), qint64(-1));
    QCOMPARE(port.write(hexBytes("88 E1")), qint64(-1));
    QVERIFY(!port.flush());
    port.close();
    QVERIFY(!port.open(QStringLiteral("sim:test")));
    port.setDisconnected(false);
    QVERIFY(port.open(QStringLiteral("sim:test")));

    // The cable can also be pulled on the collector's side, for every port.
    sim.collector.setDisconnected(true);
    QCOMPARE(port.read(buffer, sizeof buffer), qint64(-1));
    port.close();
    SimulatedPort other(&sim.collector);
    QVERIFY(!other.open(QStringLiteral("sim:test")));
    sim.collector.setDisconnected(false);
    QVERIFY(other.open(QStringLiteral("sim:test")));
    QCOMPARE(other.read(buffer, sizeof buffer), qint64(0));
}

void TestSimulatedPort::collectorStateSurvivesACloseAndReopen()
{
    CollectorConfig config = CollectorConfig::quiet();
    config.cabinets = {{5, 0x05}};
    Collector collector(config);
    {
        SimulatedPort port(&collector);
        QVERIFY(port.open(QStringLiteral("sim:test")));
        port.write(hexBytes("88 E1 88 E1 85 A0 9F A3 83 A2 97 E1"));  // cabinet 5, temporary control on
        QByteArray got;
        QTRY_VERIFY((got += readAll(port)).size() >= 4);
        QCOMPARE(got, QByteArray("%A\r\n"));
    }
    SimulatedPort port(&collector);
    QVERIFY(port.open(QStringLiteral("sim:test")));
    collector.sendReportCycle();
    QCOMPARE(readAll(port), QByteArray("%BOX: 0,0\r\n%BOX: 5,13\r\n%BOX: 64,0\r\n"));
}

void TestSimulatedPort::onlyOnePortHoldsTheCollector()
{
    Collector collector(CollectorConfig::quiet());
    SimulatedPort first(&collector);
    SimulatedPort second(&collector);
    QVERIFY(first.open(QStringLiteral("sim:test")));
    QVERIFY(!second.open(QStringLiteral("sim:test")));
    first.close();
    QVERIFY(second.open(QStringLiteral("sim:test")));
}

void TestSimulatedPort::pacedTransferArrivesWholeAndInOrder()
{
    SimFixture sim;
    SimulatedPort port(&sim.collector);
    port.setPacing(46080);
    QVERIFY(port.open(QStringLiteral("sim:test")));
    QByteArray block;
    for (int i = 0; i < 4000; ++i)
        block.append(char(i % 251));
    sim.collector.sendBytes(block);
    port.write(hexBytes("88 E1 95 E1"));
    QByteArray got;
    QTRY_VERIFY_WITH_TIMEOUT((got += readAll(port)).size() >= block.size() + 4, 20000);
    QCOMPARE(got, block + "%A\r\n");
}

void TestSimulatedPort::factoryServesTheDemonstrationCollector()
{
    const PortFactory factory = simulatorAwarePortFactory();
    auto real = factory(QStringLiteral("/dev/no-such-serial-port"));
    QVERIFY(!real->open(QStringLiteral("/dev/no-such-serial-port")));

    auto port = factory(QString::fromLatin1(demoPortPath));
    QVERIFY(port->open(QString::fromLatin1(demoPortPath)));
    port->write(hexBytes("88 E1 88 E1 95 E1"));
    QByteArray got;
    QTRY_VERIFY_WITH_TIMEOUT((got += readAll(*port)).contains("%A\r\n"), 10000);
    // The demonstration shows a realistic mix on the thirty visible cells: some
    // monitored, some under temporary control, at least one in alarm.
    const CollectorConfig &demo = demoCollector().config();
    int alarms = 0, temporaries = 0, monitoredCount = 0;
    for (auto it = demo.cabinets.cbegin(); it != demo.cabinets.cend(); ++it) {
        QVERIFY(it.key() >= 1 && it.key() <= 30);
        alarms += (it.value() & 0x03) == 0x02;
        temporaries += (it.value() & 0x08) != 0;
        monitoredCount += (it.value() & 0x04) != 0;
    }
    QVERIFY(alarms >= 1 && temporaries >= 1 && monitoredCount >= 1);
    QVERIFY(demo.cardPresent && demo.taskPresent && demo.clockOffsetMs && demo.gsmChatter);
}

QTEST_GUILESS_MAIN(TestSimulatedPort)
#include "test_simulatedport.moc"
