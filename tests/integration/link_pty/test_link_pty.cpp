// The program's link on a real serial port: collector-sim serves a simulated
// collector on a pseudo-terminal and the link talks to it through QSerialPort.
#include <QSignalSpy>
#include <QtTest>

#include "link/link.h"
#include "link/operatorui.h"
#include "link/qtserialport.h"
#include "support/simprocess.h"

namespace {

const QStringList reportEvery200ms = {"--report-ms", "200"};

PortFactory realPorts()
{
    return [](const QString &) { return std::make_unique<QtSerialPortAdapter>(); };
}

}  // namespace

class TestLinkPty : public QObject
{
    Q_OBJECT
private slots:
    void theLinkTalksToTheSimulatorOverARealSerialPort()
    {
        SimProcess sim(reportEvery200ms);
        const QString path = sim.path();
        QVERIFY2(path.startsWith("/dev/"), qPrintable(path));

        QTemporaryDir dir;
        ScriptedOperator ui;
        LinkTimings timings;
        timings.silenceMs = 60000;
        Link link(realPorts(), ui, timings);
        link.setMeasurementLogPath(dir.filePath("incubator.bin"));
        link.setPort(path, "pty");
        QSignalSpy boxes(&link, &Link::boxLine);
        QSignalSpy cards(&link, &Link::cardCaption);
        QSignalSpy times(&link, &Link::timeReported);
        link.startPump();
        QTRY_COMPARE_WITH_TIMEOUT(link.state(), Link::Open, 5000);
        QCOMPARE(ui.status, QString("pty: 460800 bps"));

        // A request answered.
        QVERIFY(link.cardClick());

        // Unsolicited lines dispatched: a whole report cycle, card and clock.
        QTRY_VERIFY_WITH_TIMEOUT(boxes.count() >= 3, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(cards.count() >= 1, 5000);
        QCOMPARE(cards.last().first().toString(), QString("Карта SD установлена"));
        QTRY_VERIFY_WITH_TIMEOUT(times.count() >= 1, 5000);
        QVERIFY(!link.deviceTime().isEmpty());

        // Reopened on request and still answered.
        link.reopenLink();
        QCOMPARE(link.state(), Link::Open);
        QVERIFY(link.cardClick());

        // The device goes away under the link: the read fails and says so.
        sim.process().terminate();
        QVERIFY(sim.process().waitForFinished(5000));
        QTRY_COMPARE_WITH_TIMEOUT(link.state(), Link::Closed, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(ui.statusHistory.contains("Невозможно настроить порт pty на 460800 bps")
                                     || ui.status.startsWith("Невозможно открыть порт"),
                                 5000);

        // A collector is back: the link opens it by itself.
        SimProcess second(reportEvery200ms);
        const QString secondPath = second.path();
        QVERIFY(!secondPath.isEmpty());
        link.setPort(secondPath, "pty");
        QTRY_COMPARE_WITH_TIMEOUT(link.state(), Link::Open, 5000);
        QVERIFY(link.cardClick());
        link.setClosing();
        second.stop();
    }

    void aRefusedCommandIsReportedAsAFailure()
    {
        SimProcess sim(reportEvery200ms + QStringList{"--refuse", "21"});
        const QString path = sim.path();
        QVERIFY(!path.isEmpty());
        ScriptedOperator ui;
        Link link(realPorts(), ui);
        link.setMeasurementLogPath(QString());
        link.setPort(path, "pty");
        link.startPump();
        QTRY_COMPARE_WITH_TIMEOUT(link.state(), Link::Open, 5000);
        QVERIFY(!link.cardClick());
        link.setClosing();
        sim.stop();
    }
};

QTEST_GUILESS_MAIN(TestLinkPty)
#include "test_link_pty.moc"
