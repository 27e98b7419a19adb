#include <QtTest>

#include "gsm/collectorgsmlink.h"
#include "gsm/gsmexchange.h"
#include "gsm/plaingsmpage.h"
#include "link/cp1251.h"
#include "link/link.h"
#include "link/operatorui.h"
#include "sim/collector.h"
#include "sim/collectorconfig.h"
#include "sim/gsm/gsmmodule.h"
#include "sim/simulatedport.h"

// The settings exchange over the real link and wire encoding, against the
// simulated collector and the GSM module behind it. Outcomes are judged by
// what the module received, never by how long anything took.
class TestGsmCollector : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void aWriteSendsWhatChangedAndTheModuleTakesIt_data();
    void aWriteSendsWhatChangedAndTheModuleTakesIt();
    void aSilentModuleGetsOneScheduledRepeatThenTheError();
    void onlyTheModulesConfirmationCounts();
    void settingsWithAWrongChecksumAreNotShown();

private:
    std::unique_ptr<Collector> collector;
    GsmModule *module = nullptr;
    ScriptedOperator ui;
    std::unique_ptr<Link> link;
    std::unique_ptr<CollectorGsmLink> gsm;
    std::unique_ptr<GsmExchange> exchange;
    PlainGsmPage page;

    void makeExchange(const GsmTimings &timings)
    {
        exchange = std::make_unique<GsmExchange>(*gsm, ui, timings);
        exchange->setPage(&page);
        gsm->deliverTo(*exchange);
    }
};

namespace {

const QByteArray closing = "\r\r\r*R\r\r\r";

// Generous limits, and a scheduled repetition that never comes: every copy
// of a message the module sees was asked for by the module.
GsmTimings noScheduledRepeat()
{
    GsmTimings t;
    t.passMs = 5;
    t.passes = 2000;
    t.repeatEvery = 100000;
    t.pauseMs = 10;
    t.readPasses = 2000;
    return t;
}

QByteArray cp(const QString &text)
{
    return cp1251::encode(text);
}

}  // namespace

void TestGsmCollector::init()
{
    ui = ScriptedOperator();
    page = PlainGsmPage();
    collector = std::make_unique<Collector>(CollectorConfig::quiet());
    module = GsmModule::install(*collector, "aon:0 pass:1234 sms:x");
    QVERIFY(module);
    // Short, but the collector still frames every talk with bytes 3 and 4.
    module->setTalkTimes(5, 20);
    link = std::make_unique<Link>(
        [this](const QString &) { return std::make_unique<SimulatedPort>(collector.get()); }, ui);
    link->setPort(QStringLiteral("sim:test"), QStringLiteral("sim"));
    link->startPump();
    QTRY_COMPARE(link->state(), Link::Open);
    gsm = std::make_unique<CollectorGsmLink>(*link);
}

void TestGsmCollector::cleanup()
{
    link->setClosing();
    exchange.reset();
    gsm.reset();
    link.reset();
    collector.reset();
}

void TestGsmCollector::aWriteSendsWhatChangedAndTheModuleTakesIt_data()
{
    QTest::addColumn<QByteArray>("held");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<QByteArrayList>("messages");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("no change still sends the single blank with its checksum")
        << QByteArray("aon:0 pass:1234 sms:x") << QStringLiteral("aon:0 pass:1234 sms:x") << QStringList()
        << QByteArrayList{"\r\r*C39102\r*S \r\r"} << QByteArray("aon:0 pass:1234 sms:x");
    QTest::newRow("one changed item typed in capitals goes alone and in lower case")
        << QByteArray("aon:0 pass:1234 sms:x") << QStringLiteral("AON:0 PASS:4321 sms:x") << QStringList()
        << QByteArrayList{"\r\r*C13825\r*S pass:4321 \r\r"} << QByteArray("aon:0 pass:4321 sms:x");
    QTest::newRow("a changed template alone makes two messages, the second as typed")
        << QByteArray("aon:0 pass:1234 sms:x") << QStringLiteral("aon:0 pass:1234 sms:Новый") << QStringList()
        << QByteArrayList{"\r\r*C39102\r*S \r\r", "\r\r*C954\r*S" + cp(QStringLiteral(" sms:Новый")) + "\r\r"}
        << "aon:0 pass:1234 " + cp(QStringLiteral("sms:Новый"));
    QTest::newRow("a resend request gets the message again at once")
        << QByteArray("aon:0 pass:1234 sms:x") << QStringLiteral("pass:4321") << QStringList{"nak-first"}
        << QByteArrayList{"\r\r*C13825\r*S pass:4321 \r\r", "\r\r*C13825\r*S pass:4321 \r\r"}
        << QByteArray("aon:0 pass:4321 sms:x");
    QTest::newRow("a new item that ends an old one is still sent")
        << QByteArray("xkey:1 sms:x") << QStringLiteral("xkey:1 key:1 sms:x") << QStringList()
        << QByteArrayList{"\r\r*C2131\r*S key:1 \r\r"} << QByteArray("xkey:1 key:1 sms:x");
}

void TestGsmCollector::aWriteSendsWhatChangedAndTheModuleTakesIt()
{
    QFETCH(QByteArray, held);
    QFETCH(QString, typed);
    QFETCH(QStringList, faults);
    QFETCH(QByteArrayList, messages);
    QFETCH(QByteArray, after);

    QVERIFY(module->setSettings(held));
    for (const QString &fault : faults)
        QVERIFY(module->addFault(fault));
    makeExchange(noScheduledRepeat());

    QVERIFY(exchange->writeChanges(typed));

    QCOMPARE(module->received(), QByteArrayList{"\r*s\r"} + messages + QByteArrayList{closing});
    QCOMPARE(ui.messages, QStringList{QStringLiteral("Настройки записаны")});
    QCOMPARE(module->settings(), after);
    // The module reports what it now holds, and that becomes the base of the next write.
    QTRY_COMPARE_WITH_TIMEOUT(exchange->settings(), cp1251::decode(after), 10000);
}

void TestGsmCollector::aSilentModuleGetsOneScheduledRepeatThenTheError()
{
    GsmTimings t = noScheduledRepeat();
    t.passMs = 1;
    t.passes = 199;
    t.repeatEvery = 100;
    makeExchange(t);
    QVERIFY(exchange->readSettings());
    module->setFaults({.silent = true});

    QVERIFY(!exchange->writeText(QStringLiteral("aon:0 pass:4321 sms:x")));

    const QByteArray message = "\r\r*C13825\r*S pass:4321 \r\r";
    QCOMPARE(module->received(), (QByteArrayList{"\r*s\r", message, message, closing}));
    QCOMPARE(ui.log, QStringList{QStringLiteral("Ошибка во время записи настроек!")});
    QCOMPARE(ui.messages,
             QStringList{QStringLiteral("Ошибка во время записи настроек. Проверьте подключение устройства!")});
    QCOMPARE(module->settings(), QByteArray("aon:0 pass:1234 sms:x"));
}

void TestGsmCollector::onlyTheModulesConfirmationCounts()
{
    // The collector refuses every text it passes on; the module confirms anyway.
    collector->setCommandHandler(9, Collector::Argument::Checked, [this](const Collector::Request &r) {
        emit collector->gsmTextReceived(r.argument);
        return Collector::Reply::Nak;
    });
    makeExchange(noScheduledRepeat());

    QVERIFY(exchange->writeChanges(QStringLiteral("pass:4321")));
    QCOMPARE(module->received(), (QByteArrayList{"\r*s\r", "\r\r*C13825\r*S pass:4321 \r\r", closing}));
    QCOMPARE(ui.messages, QStringList{QStringLiteral("Настройки записаны")});
}

void TestGsmCollector::settingsWithAWrongChecksumAreNotShown()
{
    module->addFault(QStringLiteral("wrong-checksum"));
    GsmTimings t = noScheduledRepeat();
    t.readPasses = 40;   // the outcome is the same however long the read waits
    makeExchange(t);

    QVERIFY(!exchange->readSettings());
    QTRY_VERIFY_WITH_TIMEOUT(!exchange->settingsRaw().isEmpty(), 10000);   // the report did come
    QVERIFY(!exchange->settingsShown());
    QVERIFY(exchange->settings().isEmpty());
    QVERIFY(!page.clicks.contains(QStringLiteral("goonline")));
    QCOMPARE(ui.messages, QStringList{QStringLiteral("Ошибка во время общения с устройством!")});
}

QTEST_GUILESS_MAIN(TestGsmCollector)
#include "test_gsm_collector.moc"
