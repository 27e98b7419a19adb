#include <QtTest>

#include "gsm/collectorgsmlink.h"
#include "gsm/gsmexchange.h"
#include "gsm/plaingsmpage.h"
#include "link/cp1251.h"
#include "link/link.h"
#include "link/operatorui.h"
#include "sim/collector.h"
#include "sim/collectorconfig.h"
#include "sim/simulatedport.h"

// The settings exchange over the real link and wire encoding, with the
// simulated collector and a scripted GSM module behind it.
class TestGsmCollector : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void aWriteReachesTheModuleThroughTheCollector();
    void onlyTheModulesConfirmationCounts();

private:
    std::unique_ptr<Collector> collector;
    ScriptedOperator ui;
    std::unique_ptr<Link> link;
    std::unique_ptr<CollectorGsmLink> gsm;
    std::unique_ptr<GsmExchange> exchange;
    PlainGsmPage page;
    QByteArrayList moduleSaw;   // every text the module got

    // The module: settings on "*s", a confirmation for every settings message.
    void scriptModule()
    {
        connect(collector.get(), &Collector::gsmTextReceived, collector.get(), [this](const QByteArray &text) {
            moduleSaw << text;
            if (text == "\r*s\r")
                collector->sendLine("%ZEV: \x85#S aon:0 pass:1234 sms:x\x85#C52108");
            else if (text.startsWith("\r\r*C"))
                collector->sendLine("%ZEV: \x85#A");
        });
    }
};

void TestGsmCollector::init()
{
    ui = ScriptedOperator();
    page = PlainGsmPage();
    moduleSaw.clear();
    collector = std::make_unique<Collector>(CollectorConfig::quiet());
    link = std::make_unique<Link>(
        [this](const QString &) { return std::make_unique<SimulatedPort>(collector.get()); }, ui);
    link->setPort(QStringLiteral("sim:test"), QStringLiteral("sim"));
    link->startPump();
    QTRY_COMPARE(link->state(), Link::Open);
    gsm = std::make_unique<CollectorGsmLink>(*link);
    exchange = std::make_unique<GsmExchange>(*gsm, ui);
    exchange->setPage(&page);
    gsm->deliverTo(*exchange);
}

void TestGsmCollector::cleanup()
{
    link->setClosing();
    exchange.reset();
    gsm.reset();
    link.reset();
    collector.reset();
}

void TestGsmCollector::aWriteReachesTheModuleThroughTheCollector()
{
    scriptModule();

    QVERIFY(exchange->writeChanges(QStringLiteral("aon:0 pass:4321 sms:Новый")));

    const QByteArray sms = cp1251::encode(QStringLiteral(" sms:Новый"));
    QCOMPARE(collector->gsmTexts(),
             (QByteArrayList{"\r*s\r", "\r\r*C13825\r*S pass:4321 \r\r",
                             "\r\r*C954\r*S" + sms + "\r\r",
                             "\r\r\r*R\r\r\r"}));
    QCOMPARE(exchange->settings(), QStringLiteral("aon:0 pass:1234 sms:x"));
    QCOMPARE(ui.messages, QStringList{QStringLiteral("Настройки записаны")});
}

void TestGsmCollector::onlyTheModulesConfirmationCounts()
{
    scriptModule();
    // The collector refuses every text it passes on; the module confirms anyway.
    collector->setCommandHandler(9, Collector::Argument::Checked, [this](const Collector::Request &r) {
        emit collector->gsmTextReceived(r.argument);
        return Collector::Reply::Nak;
    });

    QVERIFY(exchange->writeChanges(QStringLiteral("pass:4321")));
    QCOMPARE(moduleSaw, (QByteArrayList{"\r*s\r", "\r\r*C13825\r*S pass:4321 \r\r", "\r\r\r*R\r\r\r"}));
    QCOMPARE(ui.messages, QStringList{QStringLiteral("Настройки записаны")});
}

QTEST_GUILESS_MAIN(TestGsmCollector)
#include "test_gsm_collector.moc"
