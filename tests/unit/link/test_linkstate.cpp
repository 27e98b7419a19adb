#include <QSignalSpy>
#include <QtTest>

#include "link/link.h"
#include "link/operatorui.h"
#include "support/fakeport.h"

namespace {

LinkTimings fastTimings()
{
    LinkTimings t;
    t.pumpMs = 1;
    t.replyMs = 150;
    t.silenceMs = 400;   // longer than a reply, as in the field
    t.gsmPanelMs = 150;
    return t;
}

const QByteArray resetPair("\x88\xE1", 2);
const QByteArray cardPair("\x95\xE1", 2);

// Answers every cardClick request with the given reply lines.
void answerCard(FakePortState &port, const QByteArray &reply)
{
    port.onWrite = [reply](FakePortState &s, const QByteArray &bytes) {
        if (bytes == cardPair)
            s.incoming += reply;
    };
}

}  // namespace

class TestLinkState : public QObject
{
    Q_OBJECT
private:
    std::shared_ptr<FakePortState> port;
    std::unique_ptr<ScriptedOperator> ui;
    std::unique_ptr<Link> link;
    QTemporaryDir dir;

    void openLink(LinkTimings t = fastTimings())
    {
        link = std::make_unique<Link>(fakePortFactory(port), *ui, t);
        link->setMeasurementLogPath(dir.filePath("incubator.bin"));
        link->setPort("/dev/ttyX", "COM7");
        link->startPump();
        QTRY_COMPARE(link->state(), Link::Open);
    }

private slots:
    void init()
    {
        port = std::make_shared<FakePortState>();
        ui = std::make_unique<ScriptedOperator>();
    }
    void cleanup() { link.reset(); }

    void aPortThatCannotBeOpenedIsRetriedEveryTick()
    {
        port->openSucceeds = false;
        link = std::make_unique<Link>(fakePortFactory(port), *ui, fastTimings());
        link->setPort("offline", "Автономный режим");
        link->tick();
        link->tick();
        QCOMPARE(ui->status, QString("Невозможно открыть порт Автономный режим"));
        QCOMPARE(link->state(), Link::Closed);
        QCOMPARE(port->opens, 2);
        port->openSucceeds = true;
        link->tick();
        QCOMPARE(link->state(), Link::Open);
    }

    void refusedSettingsCloseThePortAndSaySo()
    {
        port->configureSucceeds = false;
        link = std::make_unique<Link>(fakePortFactory(port), *ui, fastTimings());
        link->setPort("/dev/ttyX", "COM7");
        link->tick();
        QCOMPARE(ui->status, QString("Невозможно настроить порт COM7 на 460800 bps"));
        QCOMPARE(link->state(), Link::Closed);
        QVERIFY(!port->isOpen);
    }

    void aSuccessfulOpenShowsTheBaudRateAndCreatesTheMeasurementLog()
    {
        openLink();
        QCOMPARE(ui->status, QString("COM7: 460800 bps"));
        QCOMPARE(port->openedPath, QString("/dev/ttyX"));
        QVERIFY(QFile::exists(dir.filePath("incubator.bin")));
        QVERIFY(link->replyTimerRunning());
    }

    void aFailedReadClosesThePortAndItReopensWhenTheDeviceIsBack()
    {
        openLink();
        port->readFails = true;
        QTRY_COMPARE(link->state(), Link::Closed);
        QCOMPARE(ui->status, QString("Невозможно настроить порт COM7 на 460800 bps"));
        QCOMPARE(port->closes, 1);
        port->readFails = false;
        QTRY_COMPARE(link->state(), Link::Open);
        QCOMPARE(port->opens, 2);
    }

    void silenceMakesTheLinkWaitAndReopenAgainAndAgain()
    {
        openLink();
        QTRY_VERIFY(port->opens >= 3);
        QVERIFY(ui->statusHistory.contains("Ожидание..."));
    }

    void linesKeepTheSilenceWatchdogQuiet()
    {
        openLink();
        for (int i = 0; i < 30; ++i) {
            port->incoming += "%S1\r\n";
            QTest::qWait(20);
        }
        QCOMPARE(port->opens, 1);
    }

    void aHeldPortIsNeitherReadNorReopened()
    {
        openLink();
        link->setPortHeld(true);
        port->incoming = "%A\r\n";
        QTest::qWait(1000);   // more than two silence periods
        QCOMPARE(port->incoming, QByteArray("%A\r\n"));
        QCOMPARE(port->opens, 1);
        link->setPortHeld(false);
        QTRY_VERIFY(port->incoming.isEmpty());
    }

    void reopenLinkWaitsUntilThePortIsOpenAgain()
    {
        openLink();
        link->reopenLink();
        QCOMPARE(link->state(), Link::Open);
        QCOMPARE(port->opens, 2);
        QVERIFY(ui->statusHistory.contains("Ожидание..."));
    }

    void requestsAreFramedByResetsAndAnsweredByTheReply_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("result");
        QTest::newRow("acknowledged") << QByteArray("%A\r\n") << true;
        QTest::newRow("refused") << QByteArray("%N\r\n") << false;
        QTest::newRow("refusal and acknowledgement in one wait") << QByteArray("%N\r\n%A\r\n") << true;
        QTest::newRow("silence") << QByteArray() << false;
        QTest::newRow("acknowledgement with a blank is no reply") << QByteArray("%A \r\n") << false;
    }

    void requestsAreFramedByResetsAndAnsweredByTheReply()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, result);
        openLink();
        answerCard(*port, reply);
        port->written.clear();
        QCOMPARE(link->cardClick(), result);
        QCOMPARE(port->written.toHex(' '), (resetPair + resetPair + cardPair + resetPair + resetPair).toHex(' '));
        QVERIFY(!link->ackFlag());
        QVERIFY(!link->nakFlag());
    }

    void anAcknowledgementBeforeTheExchangeDoesNotCount()
    {
        openLink();
        port->incoming = "%A\r\n";
        QTRY_VERIFY(link->ackFlag());
        QVERIFY(!link->cardClick());
    }

    void aRequestWaitsWhileTheCollectorTalksToItsGsmModule()
    {
        LinkTimings t = fastTimings();
        t.gsmPanelMs = 60000;
        t.silenceMs = 60000;
        openLink(t);
        answerCard(*port, "%A\r\n");
        port->incoming = "\x03\r\n";   // a marker stays in the line, so it is ended
        QTRY_VERIFY(link->gsmTalking());
        port->written.clear();
        QTimer::singleShot(300, this, [&] {
            QVERIFY(port->written.isEmpty());   // nothing sent while the panel shows
            port->incoming += "\x04\r\n";
        });
        QVERIFY(link->cardClick());
        QVERIFY(!link->gsmTalking());
    }

    void theGsmPanelHidesAfterItsTimeAndWaitingRequestsGoOn()
    {
        LinkTimings t = fastTimings();
        t.silenceMs = 60000;
        openLink(t);
        answerCard(*port, "%A\r\n");
        port->incoming = "\x03\r\n";   // a marker stays in the line, so it is ended
        QTRY_VERIFY(link->gsmTalking());
        QVERIFY(link->cardClick());
        QVERIFY(!link->gsmTalking());
    }

    void aFrameIsWrittenToTheMeasurementLogWhileRecording()
    {
        openLink();
        link->setRecordingFrames(true);
        QSignalSpy frames(link.get(), &Link::frameReceived);
        QByteArray f("\xAAW");
        f.append("0123456789AB");
        port->incoming = f + "\r\n";
        QTRY_COMPARE(frames.count(), 1);
        link.reset();   // closes the log
        QFile log(dir.filePath("incubator.bin"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll(), QByteArray("0123456789AB"));
    }

    void closingEndsEveryWait()
    {
        LinkTimings t = fastTimings();
        t.replyMs = 60000;
        openLink(t);
        QTimer::singleShot(50, this, [&] { link->setClosing(); });
        QVERIFY(!link->cardClick());
    }
};

QTEST_GUILESS_MAIN(TestLinkState)
#include "test_linkstate.moc"
