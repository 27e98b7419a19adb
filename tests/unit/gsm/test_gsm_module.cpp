#include <QtTest>

#include "link/cp1251.h"
#include "link/wire.h"
#include "sim/collector.h"
#include "sim/gsm/gsmmodule.h"

// The simulated GSM module behind the collector, driven by wire bytes as the
// program sends them and judged by the bytes the collector sends back.
class TestGsmModule : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void theCollectorAcknowledgesThenFramesTheModulesAnswer();
    void settingsMessagesAreTakenOnlyWhenTheirChecksumMatches_data();
    void settingsMessagesAreTakenOnlyWhenTheirChecksumMatches();
    void theClosingTextReportsTheSettingsNowHeld();
    void textsForSomeoneElseGetNoAnswer();
    void textsSentBackToBackAreAnsweredInTurn();
    void faultsChangeTheAnswers_data();
    void faultsChangeTheAnswers();
    void settingsTheReplyCannotCarryAreRefused_data();
    void settingsTheReplyCannotCarryAreRefused();
    void commandLineOptionsAreChecked_data();
    void commandLineOptionsAreChecked();

private:
    std::unique_ptr<Collector> collector;
    GsmModule *module = nullptr;
    QByteArray out;

    // One request with command 9, as the program sends it.
    void pass(const QByteArray &text)
    {
        collector->receive(wire::command(8) + wire::command(8) + wire::dataBytes(text) + wire::checksumPairs(text)
                           + wire::command(9));
    }
    // What the collector sent once `count` "%ZEV: " lines are out (or what
    // it had sent when it gave up waiting for them).
    QByteArray awaitZevLines(int count)
    {
        static_cast<void>(QTest::qWaitFor([&] { return out.count("%ZEV: ") >= count; }, 10000));
        return std::exchange(out, {});
    }
};

namespace {

const QByteArray startSettings = "aon:0 pass:1234 sms:x";

QByteArray cp(const QString &text)
{
    return cp1251::encode(text);
}

}  // namespace

void TestGsmModule::init()
{
    collector = std::make_unique<Collector>(CollectorConfig::quiet());
    module = GsmModule::install(*collector, startSettings);
    QVERIFY(module);
    module->setTalkTimes(0, 0);
    out.clear();
    connect(collector.get(), &Collector::transmit, this, [this](const QByteArray &bytes) { out += bytes; });
}

void TestGsmModule::cleanup()
{
    collector.reset();
}

void TestGsmModule::theCollectorAcknowledgesThenFramesTheModulesAnswer()
{
    pass("\r*s\r");
    QCOMPARE(awaitZevLines(1), QByteArray("%A\r\n\x03\x04\r\n%ZEV: \x85#S aon:0 pass:1234 sms:x\x85#C52108\r\n"));
    QCOMPARE(module->received(), QByteArrayList{"\r*s\r"});
}

void TestGsmModule::settingsMessagesAreTakenOnlyWhenTheirChecksumMatches_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("a changed item replaces the old value")
        << startSettings << QByteArray("\r\r*C13825\r*S pass:4321 \r\r") << QByteArray("#A")
        << QByteArray("aon:0 pass:4321 sms:x");
    QTest::newRow("a new item goes before the template")
        << startSettings << QByteArray("\r\r*C2131\r*S key:1 \r\r") << QByteArray("#A")
        << QByteArray("aon:0 pass:1234 key:1 sms:x");
    QTest::newRow("keys match whatever their case")
        << QByteArray("AON:0 pass:1234 sms:x") << QByteArray("\r\r*C6094\r*S aon:1 \r\r") << QByteArray("#A")
        << QByteArray("aon:1 pass:1234 sms:x");
    QTest::newRow("a template with blanks replaces the template")
        << startSettings << "\r\r*C45413\r*S" + cp(QStringLiteral(" sms:Новый шаблон")) + "\r\r" << QByteArray("#A")
        << "aon:0 pass:1234 " + cp(QStringLiteral("sms:Новый шаблон"));
    QTest::newRow("the single blank is confirmed and changes nothing")
        << startSettings << QByteArray("\r\r*C39102\r*S \r\r") << QByteArray("#A") << startSettings;
    QTest::newRow("a checksum one off is refused")
        << startSettings << QByteArray("\r\r*C13826\r*S pass:4321 \r\r") << QByteArray("#N") << startSettings;
    QTest::newRow("a checksum that is no number is refused")
        << startSettings << QByteArray("\r\r*Cx13825\r*S pass:4321 \r\r") << QByteArray("#N") << startSettings;
    QTest::newRow("a checksum beyond 16 bits is refused")
        << startSettings << QByteArray("\r\r*C79361\r*S pass:4321 \r\r") << QByteArray("#N") << startSettings;
    QTest::newRow("a message without its items line is refused")
        << startSettings << QByteArray("\r\r*C13825\r\r") << QByteArray("#N") << startSettings;
    QTest::newRow("a message broken by an extra line is refused")
        << startSettings << QByteArray("\r\r*C13825\r*S pass:4321 \r*S x:1\r\r") << QByteArray("#N") << startSettings;
    // The checksum is right, but the module could not report such items.
    QTest::newRow("items with the reply separator are refused even with a good checksum")
        << startSettings << QByteArray("\r\r*C32505\r*S a:\x85 \r\r") << QByteArray("#N") << startSettings;
}

void TestGsmModule::settingsMessagesAreTakenOnlyWhenTheirChecksumMatches()
{
    QFETCH(QByteArray, settings);
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, answer);
    QFETCH(QByteArray, after);

    QVERIFY(module->setSettings(settings));
    pass(message);
    QCOMPARE(awaitZevLines(1), "%A\r\n\x03\x04\r\n%ZEV: \x85" + answer + "\r\n");
    QCOMPARE(module->settings(), after);
}

void TestGsmModule::theClosingTextReportsTheSettingsNowHeld()
{
    pass("\r\r\r*C13825\r*S pass:4321 \r\r\r");
    pass("\r\r\r*R\r\r\r");
    const QByteArray sent = awaitZevLines(2);
    QVERIFY2(sent.endsWith("%ZEV: \x85#S aon:0 pass:4321 sms:x\x85#C34565\r\n"), sent.constData());
}

void TestGsmModule::textsForSomeoneElseGetNoAnswer()
{
    // The clock setting travels the same way and is the collector's business.
    pass("\rAT+CCLK=\"24/05/17,10:11:12+03\"\r");
    pass("\r*x\r");
    pass("\r*s\r");
    const QByteArray sent = awaitZevLines(1);
    QCOMPARE(sent.count("%ZEV: "), 1);
    QVERIFY(sent.contains("#S aon:0"));
    QCOMPARE(sent.count('\x03'), 3);   // the collector talked to the module each time
    QCOMPARE(sent.count('\x04'), 3);
}

void TestGsmModule::textsSentBackToBackAreAnsweredInTurn()
{
    pass("\r\r\r*C13825\r*S pass:4321 \r\r\r");
    pass("\r*s\r");
    QCOMPARE(awaitZevLines(2),
             QByteArray("%A\r\n%A\r\n"
                        "\x03\x04\r\n%ZEV: \x85#A\r\n"
                        "\x03\x04\r\n%ZEV: \x85#S aon:0 pass:4321 sms:x\x85#C34565\r\n"));
}

void TestGsmModule::faultsChangeTheAnswers_data()
{
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<QByteArrayList>("texts");
    QTest::addColumn<QByteArrayList>("answers");

    const QByteArray message = "\r\r\r*C13825\r*S pass:4321 \r\r\r";
    QTest::newRow("a wrong checksum is one higher than the text's")
        << QStringList{"wrong-checksum"} << QByteArrayList{"\r*s\r"}
        << QByteArrayList{"#S aon:0 pass:1234 sms:x\x85#C52109"};
    QTest::newRow("a resend request comes first, then the repeat is taken")
        << QStringList{"nak-first"} << QByteArrayList{message, message} << QByteArrayList{"#N", "#A"};
    QTest::newRow("two resend requests before the third copy is taken")
        << QStringList{"nak-first", "nak-first"} << QByteArrayList{message, message, message}
        << QByteArrayList{"#N", "#N", "#A"};
    QTest::newRow("a silent module answers nothing") << QStringList{"silent"}
        << QByteArrayList{"\r*s\r", message, "\r\r\r*R\r\r\r"} << QByteArrayList{};
}

void TestGsmModule::faultsChangeTheAnswers()
{
    QFETCH(QStringList, faults);
    QFETCH(QByteArrayList, texts);
    QFETCH(QByteArrayList, answers);

    for (const QString &fault : faults)
        QVERIFY(module->addFault(fault));
    for (const QByteArray &text : texts)
        pass(text);
    // Every text is talked over with the module, answered or not.
    QTRY_COMPARE_WITH_TIMEOUT(out.count('\x04'), texts.size(), 10000);
    QByteArrayList got;
    for (const QByteArray &line : out.split('\n'))
        if (line.startsWith("%ZEV: \x85"))
            got << line.sliced(7).chopped(1);
    QCOMPARE(got, answers);
}

void TestGsmModule::settingsTheReplyCannotCarryAreRefused_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::newRow("a line end") << QByteArray("aon:0\rpass:1 sms:x");
    QTest::newRow("the reply separator") << QByteArray("aon:0 sms:a\x85");
    QTest::newRow("a zero byte") << QByteArray("aon:0 sms:a\0b", 13);
}

void TestGsmModule::settingsTheReplyCannotCarryAreRefused()
{
    QFETCH(QByteArray, settings);
    QVERIFY(!module->setSettings(settings));
    QCOMPARE(module->settings(), startSettings);
    Collector other(CollectorConfig::quiet());
    QVERIFY(!GsmModule::install(other, settings));
}

void TestGsmModule::commandLineOptionsAreChecked_data()
{
    QTest::addColumn<std::optional<QString>>("settings");
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QByteArray>("held");

    QTest::newRow("no options give the demonstration settings")
        << std::optional<QString>() << QStringList() << true << GsmModule::demonstrationSettings();
    QTest::newRow("typed settings are kept in code page 1251")
        << std::optional(QStringLiteral("aon:1 sms:Тревога")) << QStringList{"silent"} << true
        << cp(QStringLiteral("aon:1 sms:Тревога"));
    QTest::newRow("a character outside the code page is refused")
        << std::optional(QStringLiteral("aon:1 sms:★")) << QStringList() << false << QByteArray();
    QTest::newRow("an unknown fault is refused")
        << std::optional<QString>() << QStringList{"slow"} << false << QByteArray();
}

void TestGsmModule::commandLineOptionsAreChecked()
{
    QFETCH(std::optional<QString>, settings);
    QFETCH(QStringList, faults);
    QFETCH(bool, installed);
    QFETCH(QByteArray, held);

    Collector other(CollectorConfig::quiet());
    QString error;
    GsmModule *m = GsmModule::installWithOptions(other, settings, faults, &error);
    QCOMPARE(m != nullptr, installed);
    QCOMPARE(error.isEmpty(), installed);
    if (m)
        QCOMPARE(m->settings(), held);
    // A refused module does not stay behind the collector.
    QCOMPARE(other.findChildren<GsmModule *>().size(), installed ? 1 : 0);
}

QTEST_GUILESS_MAIN(TestGsmModule)
#include "test_gsm_module.moc"
