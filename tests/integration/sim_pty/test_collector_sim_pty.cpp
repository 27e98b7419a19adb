// Runs the collector-sim tool and talks to it through the program's real
// serial port code on the pseudo-terminal it prints.
#include <QtTest>

#include "link/qtserialport.h"
#include "link/wire.h"
#include "support/simprocess.h"

namespace {

// Sends a request the way the program does and waits for one of the replies.
QByteArray exchange(QtSerialPortAdapter &port, const QByteArray &request, int waitMs = 20000)
{
    port.write(request);
    port.flush();
    QByteArray received;
    char buffer[4096];
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < waitMs) {
        const qint64 n = port.read(buffer, sizeof buffer);
        if (n < 0)
            return "read failed";
        received.append(buffer, n);
        for (const QByteArray &line : received.split('\n')) {
            const QByteArray text = line.trimmed();
            if (text == "%A" || text == "%N")
                return text;
        }
        QTest::qWait(10);
    }
    return "no reply";
}

QByteArray cardRequest()
{
    return wire::command(8) + wire::command(8) + wire::command(21);
}

QByteArray temporaryControlRequest(quint8 cabinet, bool goodChecksum)
{
    const QByteArray argument(1, char(cabinet));
    QByteArray checksum = wire::checksumPairs(argument);
    if (!goodChecksum)
        checksum = wire::checksumPairs("x");
    return wire::command(8) + wire::command(8) + wire::dataBytes(argument) + checksum + wire::command(23);
}

}  // namespace

class TestCollectorSimPty : public QObject
{
    Q_OBJECT
private slots:
    void answersThroughTheRealSerialPortAcrossAReopen();
    void faultSwitchesOnTheCommandLine_data();
    void faultSwitchesOnTheCommandLine();
    void endsCleanlyOnSigterm();
};

void TestCollectorSimPty::answersThroughTheRealSerialPortAcrossAReopen()
{
    SimProcess sim({QStringLiteral("--report-ms"), QStringLiteral("50")});
    const QString path = sim.path();
    QVERIFY2(path.startsWith(QLatin1String("/dev/")), qPrintable(path));

    for (int round = 0; round < 2; ++round) {
        QtSerialPortAdapter port;
        QVERIFY2(port.open(path), qPrintable(port.errorText()));
        QVERIFY(port.configure(460800));
        port.purge();
        QCOMPARE(exchange(port, cardRequest()), QByteArray("%A"));
        QCOMPARE(exchange(port, temporaryControlRequest(1, true)), QByteArray("%A"));
        QCOMPARE(exchange(port, temporaryControlRequest(1, false)), QByteArray("%N"));
        port.close();
        QTest::qWait(200);  // reports keep coming while nobody listens
    }
    QCOMPARE(sim.process().state(), QProcess::Running);
}

void TestCollectorSimPty::faultSwitchesOnTheCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("waitMs");
    QTest::newRow("a refused card command gets N") << QStringList{"--refuse", "21"} << QByteArray("%N") << 20000;
    QTest::newRow("another refused command leaves the card alone")
        << QStringList{"--refuse", "7", "--no-card", "--no-time", "--gsm-chatter"} << QByteArray("%A") << 20000;
    QTest::newRow("a paced line still answers") << QStringList{"--pace"} << QByteArray("%A") << 20000;
    // Waiting longer could only make this case stricter.
    QTest::newRow("a silent collector answers nothing") << QStringList{"--silent"} << QByteArray("no reply") << 1500;
}

void TestCollectorSimPty::faultSwitchesOnTheCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, reply);
    QFETCH(int, waitMs);
    SimProcess sim(arguments);
    const QString path = sim.path();
    QVERIFY2(path.startsWith(QLatin1String("/dev/")), qPrintable(path));
    QtSerialPortAdapter port;
    QVERIFY2(port.open(path), qPrintable(port.errorText()));
    QVERIFY(port.configure(460800));
    QCOMPARE(exchange(port, cardRequest(), waitMs), reply);
}

void TestCollectorSimPty::endsCleanlyOnSigterm()
{
    SimProcess sim({});
    QVERIFY(!sim.path().isEmpty());
    sim.process().terminate();
    QVERIFY(sim.process().waitForFinished(20000));
    QCOMPARE(sim.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.process().exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestCollectorSimPty)
#include "test_collector_sim_pty.moc"
