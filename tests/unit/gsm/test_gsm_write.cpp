#include <QtTest>

#include "gsm/gsmexchange.h"
#include "gsm/plaingsmpage.h"
#include "link/cp1251.h"
#include "link/operatorui.h"
#include "unit/gsm/fakegsmlink.h"

// Writing changed settings to the GSM module and reading them, against a
// scripted module. Waits are counted, not timed.
class TestGsmWrite : public QObject
{
    Q_OBJECT
private slots:
    void aWriteWithoutChangesStillSendsTheBlankMessage();
    void aWriteSendsExactlyTheChangedItems_data();
    void aWriteSendsExactlyTheChangedItems();
    void aResendRequestGetsAnImmediateRepeat();
    void silenceGetsOneScheduledRepeatAndThenTheError();
    void theSmsMessageRepeatsOnlyOnSchedule();
    void aFailedSettingsMessageSendsNoSmsMessage();
    void withoutALoadedPageNothingIsSentAndTheWriteFails();
    void closingTheProgramEndsAWriteQuietly();
    void textThatCannotTravelIsRefusedBeforeSending_data();
    void textThatCannotTravelIsRefusedBeforeSending();
    void aSecondWriteOrAReadDuringAWriteIsIgnored();
    void aReadAsksTheModuleAndShowsTheWaitingPage();
    void theCommandLineWriteReadsFirstThenWritesTheChanges();
    void theCommandLineReadFailsWhenTheModuleStaysSilent();
    void theBusyCursorIsTakenBackOnceBeforeAnyMessage_data();
    void theBusyCursorIsTakenBackOnceBeforeAnyMessage();
};

namespace {

const QByteArray confirm = "%ZEV: \x85#A";
const QByteArray closing = "\r\r\r*R\r\r\r";

QByteArray cp(const QString &text)
{
    return cp1251::encode(text);
}

// Keeps the order of cursor changes and messages.
class CursorOperator : public ScriptedOperator
{
public:
    QStringList events;
    void setBusy(bool busy) override { events << (busy ? QStringLiteral("busy") : QStringLiteral("normal")); }
    void message(const QString &text, const QString &caption, Icon icon) override
    {
        events << QStringLiteral("message");
        ScriptedOperator::message(text, caption, icon);
    }
};

// A module that confirms every settings message at the next wait.
struct Module
{
    FakeGsmLink link;
    CursorOperator ui;
    PlainGsmPage page;
    GsmExchange exchange{link, ui};
    QList<QByteArray> answers;   // one answer per settings message, then "#A"

    explicit Module(const QString &settings = {})
    {
        exchange.setPage(&page);
        link.deliver = [this](const QByteArray &line) { exchange.onZevLine(line); };
        link.onSend = [this](const QByteArray &text) {
            if (!text.startsWith("\r\r*C"))
                return;
            const QByteArray answer = answers.isEmpty() ? confirm : answers.takeFirst();
            if (!answer.isEmpty())
                link.pending << answer;
        };
        if (!settings.isEmpty())
            report(settings);
    }

    void report(const QString &settings)
    {
        const QByteArray bytes = cp(settings);
        exchange.onZevLine("%ZEV: \x85#S " + bytes + "\x85#C" + QByteArray::number(crc(bytes)));
        link.sent.clear();
        page.clicks.clear();
    }

    // The test's own crc16/MODBUS, to build module replies.
    static quint16 crc(const QByteArray &bytes)
    {
        quint16 c = 0xFFFF;
        for (char b : bytes) {
            c ^= quint8(b);
            for (int i = 0; i < 8; ++i)
                c = (c & 1) ? (c >> 1) ^ 0xA001 : c >> 1;
        }
        return c;
    }
};

}  // namespace

void TestGsmWrite::aWriteWithoutChangesStillSendsTheBlankMessage()
{
    Module m(QStringLiteral("aon:0 pass:1234 sms:Тревога"));
    QCOMPARE(m.page.values.value("gsmSetup"), QStringLiteral("aon:0 pass:1234"));

    QVERIFY(m.exchange.writeFromPage());

    QCOMPARE(m.page.clicks.first(), QStringLiteral("blur"));
    QCOMPARE(m.link.sent, (QList<QByteArray>{"\r\r*C39102\r*S \r\r", closing}));
    QCOMPARE(m.ui.messages, QStringList{QStringLiteral("Настройки записаны")});
    QVERIFY(m.ui.log.isEmpty());
}

void TestGsmWrite::aWriteSendsExactlyTheChangedItems_data()
{
    QTest::addColumn<QString>("oldText");
    QTest::addColumn<QString>("newText");
    QTest::addColumn<QList<QByteArray>>("messages");

    QTest::newRow("one changed item is sent alone between blanks")
        << "aon:0 pass:1234 sms:x" << "aon:1 pass:1234 sms:x"
        << QList<QByteArray>{"\r\r*C6094\r*S aon:1 \r\r"};
    QTest::newRow("an item typed in capitals is compared and sent in lower case")
        << "aon:0 pass:1234 sms:x" << "AON:1 Pass:1234 sms:x"
        << QList<QByteArray>{"\r\r*C6094\r*S aon:1 \r\r"};
    QTest::newRow("a new item that is the tail of an old item is still sent")
        << "xkey:1 sms:t" << "xkey:1 key:1 sms:t"
        << QList<QByteArray>{"\r\r*C2131\r*S key:1 \r\r"};
    QTest::newRow("an item that only occurs inside the old template is still sent")
        << "a:1 sms:b:2 " << "a:1 b:2 sms:b:2 "
        << QList<QByteArray>{"\r\r*C51854\r*S b:2 \r\r"};
    QTest::newRow("a key that ends in sms is an item, not the template")
        << "xsms:1 sms:a" << "xsms:2 sms:a"
        << QList<QByteArray>{"\r\r*C61234\r*S xsms:2 \r\r"};
    QTest::newRow("a changed template alone sends the blank message, then the template as typed")
        << "a:1 sms:old" << QStringLiteral("a:1 sms:Новый шаблон|строка")
        << QList<QByteArray>{"\r\r*C39102\r*S \r\r", "\r\r*C2466\r*S " + cp(QStringLiteral("sms:Новый шаблон|строка")) + "\r\r"};
    QTest::newRow("a template against settings that had none is sent")
        << "a:1" << "a:1 sms:hi"
        << QList<QByteArray>{"\r\r*C39102\r*S \r\r", "\r\r*C28489\r*S sms:hi\r\r"};
    QTest::newRow("a template that differs only in letter case is a change")
        << "a:1 sms:Hi" << "a:1 sms:hi"
        << QList<QByteArray>{"\r\r*C39102\r*S \r\r", "\r\r*C28489\r*S sms:hi\r\r"};
    QTest::newRow("two changed items keep their order")
        << "aon:0 pass:1234 sms:x" << "aon:1 pass:4321 sms:x"
        << QList<QByteArray>{"\r\r*C11043\r*S aon:1 pass:4321 \r\r"};
    QTest::newRow("words without a key are no items")
        << "a:1 sms:x" << "a:1  junk :5 sms:x"
        << QList<QByteArray>{"\r\r*C39102\r*S \r\r"};
}

void TestGsmWrite::aWriteSendsExactlyTheChangedItems()
{
    QFETCH(QString, oldText);
    QFETCH(QString, newText);
    QFETCH(QList<QByteArray>, messages);

    Module m(oldText);
    QVERIFY(m.exchange.writeText(newText));
    QCOMPARE(m.link.settingsMessages(), messages);
    QCOMPARE(m.link.sent.last(), closing);
    QCOMPARE(m.ui.messages, QStringList{QStringLiteral("Настройки записаны")});
}

void TestGsmWrite::aResendRequestGetsAnImmediateRepeat()
{
    Module m(QStringLiteral("aon:0 sms:x"));
    m.answers = {"%ZEV: \x85#N"};

    QVERIFY(m.exchange.writeText(QStringLiteral("aon:1 sms:x")));

    const QByteArray message = "\r\r*C6094\r*S aon:1 \r\r";
    QCOMPARE(m.link.sent, (QList<QByteArray>{message, message, closing}));
    QCOMPARE(m.link.waitsBeforeSend.mid(0, 2), (QList<int>{0, 1}));   // repeated after the first pass
    QCOMPARE(m.ui.messages, QStringList{QStringLiteral("Настройки записаны")});
}

void TestGsmWrite::silenceGetsOneScheduledRepeatAndThenTheError()
{
    Module m(QStringLiteral("aon:0 sms:x"));
    m.answers = {QByteArray(), QByteArray()};

    QVERIFY(!m.exchange.writeText(QStringLiteral("aon:1 sms:x")));

    const QByteArray message = "\r\r*C6094\r*S aon:1 \r\r";
    QCOMPARE(m.link.sent, (QList<QByteArray>{message, message, closing}));
    QCOMPARE(m.link.waitsBeforeSend, (QList<int>{0, 100, 199}));
    QCOMPARE(m.ui.log, QStringList{QStringLiteral("Ошибка во время записи настроек!")});
    QCOMPARE(m.ui.messages, QStringList{QStringLiteral("Ошибка во время записи настроек. Проверьте подключение устройства!")});
}

void TestGsmWrite::theSmsMessageRepeatsOnlyOnSchedule()
{
    Module m(QStringLiteral("a:1 sms:old"));
    m.answers = {confirm, "%ZEV: \x85#N", QByteArray()};

    QVERIFY(!m.exchange.writeText(QStringLiteral("a:1 sms:new")));

    const QList<QByteArray> messages = m.link.settingsMessages();
    QCOMPARE(messages.size(), 3);
    QVERIFY(messages[1].endsWith("*S sms:new\r\r"));
    QCOMPARE(messages[2], messages[1]);
    const int smsStart = m.link.waitsBeforeSend[1];
    QCOMPARE(m.link.waitsBeforeSend[2] - smsStart, 100);
    QCOMPARE(m.link.sent.last(), closing);
    QCOMPARE(m.ui.log, QStringList{QStringLiteral("Ошибка во время записи настроек!")});
}

void TestGsmWrite::aFailedSettingsMessageSendsNoSmsMessage()
{
    Module m(QStringLiteral("a:1 sms:old"));
    m.answers = {QByteArray(), QByteArray()};

    QVERIFY(!m.exchange.writeText(QStringLiteral("a:1 sms:new")));
    for (const QByteArray &text : m.link.sent)
        QVERIFY(!text.contains("sms:"));
    QCOMPARE(m.link.sent.last(), closing);
}

void TestGsmWrite::withoutALoadedPageNothingIsSentAndTheWriteFails()
{
    Module m(QStringLiteral("a:1 sms:x"));
    m.page.isLoaded = false;

    QVERIFY(!m.exchange.writeFromPage());
    QVERIFY(m.link.sent.isEmpty());
    QCOMPARE(m.link.waits, 199);
    QCOMPARE(m.ui.messages, QStringList{QStringLiteral("Ошибка во время записи настроек. Проверьте подключение устройства!")});
}

void TestGsmWrite::closingTheProgramEndsAWriteQuietly()
{
    Module m(QStringLiteral("a:1 sms:x"));
    m.answers = {QByteArray()};
    m.link.closeAtWait = 5;

    QVERIFY(!m.exchange.writeText(QStringLiteral("a:2 sms:x")));
    QCOMPARE(m.link.sent.size(), 1);
    QCOMPARE(m.link.waits, 5);
    QVERIFY(m.ui.messages.isEmpty());
    QVERIFY(m.ui.log.isEmpty());
}

void TestGsmWrite::textThatCannotTravelIsRefusedBeforeSending_data()
{
    QTest::addColumn<QString>("newText");
    QTest::newRow("a line end inside an item") << QStringLiteral("a:1\r*R b:2");
    QTest::newRow("the reply separator in the template") << QStringLiteral("a:1 sms:Ждите…");
    QTest::newRow("a character outside the code page") << QStringLiteral("a:1 sms:温度");
}

void TestGsmWrite::textThatCannotTravelIsRefusedBeforeSending()
{
    QFETCH(QString, newText);
    Module m(QStringLiteral("a:2 sms:x"));

    QVERIFY(!m.exchange.writeText(newText));
    QVERIFY(m.link.sent.isEmpty());
    QCOMPARE(m.ui.messages, QStringList{QStringLiteral("Настройки содержат символы, которые нельзя передать в систему ZEV-GSM.")});
    QVERIFY(!m.exchange.writing());
}

void TestGsmWrite::aSecondWriteOrAReadDuringAWriteIsIgnored()
{
    Module m(QStringLiteral("a:1 sms:x"));
    bool nestedWrite = true, nestedPageWrite = true;
    m.link.onSend = [&](const QByteArray &text) {
        if (text.startsWith("\r\r*C") && m.link.sent.size() == 1) {
            nestedWrite = m.exchange.writeText(QStringLiteral("a:3 sms:x"));
            nestedPageWrite = m.exchange.writeFromPage();
            m.exchange.requestSettings(true);
            m.link.pending << confirm;
        }
    };

    QVERIFY(m.exchange.writeText(QStringLiteral("a:2 sms:x")));
    QVERIFY(!nestedWrite);
    QVERIFY(!nestedPageWrite);
    QCOMPARE(m.link.sent, (QList<QByteArray>{"\r\r*C36494\r*S a:2 \r\r", closing}));
    QVERIFY(!m.page.clicks.contains(QStringLiteral("gooffline")));
    QVERIFY(m.exchange.settingsShown());
}

void TestGsmWrite::aReadAsksTheModuleAndShowsTheWaitingPage()
{
    Module m(QStringLiteral("a:1 sms:x"));
    m.exchange.requestSettings(false);
    QCOMPARE(m.page.clicks, QStringList{QStringLiteral("gooffline")});
    QCOMPARE(m.link.sent, QList<QByteArray>{"\r*s\r"});
    QVERIFY(!m.exchange.settingsShown());

    m.page.clicks.clear();
    m.exchange.requestSettings(true);
    QCOMPARE(m.page.clicks, (QStringList{QStringLiteral("gooffline"), QStringLiteral("kivo")}));

    m.page.clicks.clear();
    m.link.sent.clear();
    m.page.isLoaded = false;
    m.exchange.requestSettings(true);
    QCOMPARE(m.page.clicks, QStringList{QStringLiteral("gooffline")});
    QVERIFY(m.link.sent.isEmpty());
}

void TestGsmWrite::theCommandLineWriteReadsFirstThenWritesTheChanges()
{
    Module m;
    m.link.onSend = [&](const QByteArray &text) {
        if (text == "\r*s\r") {
            m.link.pending << "%ZEV: \x85#S aon:0 pass:1234 sms:x\x85#C52108";
        } else if (text.startsWith("\r\r*C")) {
            m.link.pending << confirm;
        }
    };

    QVERIFY(m.exchange.writeChanges(QStringLiteral("pass:4321")));
    QCOMPARE(m.link.sent, (QList<QByteArray>{"\r*s\r", "\r\r*C13825\r*S pass:4321 \r\r", closing}));
    QCOMPARE(m.ui.messages, QStringList{QStringLiteral("Настройки записаны")});
}

void TestGsmWrite::theCommandLineReadFailsWhenTheModuleStaysSilent()
{
    Module m;
    GsmTimings timings;
    timings.readPasses = 7;
    GsmExchange exchange(m.link, m.ui, timings);
    exchange.setPage(&m.page);

    QVERIFY(!exchange.writeChanges(QStringLiteral("pass:4321")));
    QCOMPARE(m.link.sent, QList<QByteArray>{"\r*s\r"});
    QCOMPARE(m.link.waits, 7);
    QCOMPARE(m.ui.messages, QStringList{QStringLiteral("Ошибка во время общения с устройством!")});
}

void TestGsmWrite::theBusyCursorIsTakenBackOnceBeforeAnyMessage_data()
{
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QStringList>("events");
    const QStringList shown{QStringLiteral("busy"), QStringLiteral("normal"), QStringLiteral("message")};
    QTest::newRow("a confirmed write") << "confirmed" << shown;
    QTest::newRow("a silent module") << "silent" << shown;
    QTest::newRow("text that cannot travel") << "refused" << shown;
    QTest::newRow("the program closing") << "closing" << QStringList{QStringLiteral("busy"), QStringLiteral("normal")};
}

void TestGsmWrite::theBusyCursorIsTakenBackOnceBeforeAnyMessage()
{
    QFETCH(QString, outcome);
    QFETCH(QStringList, events);
    Module m(QStringLiteral("a:1 sms:x"));
    if (outcome == QLatin1String("silent"))
        m.answers = {QByteArray(), QByteArray()};
    if (outcome == QLatin1String("closing")) {
        m.answers = {QByteArray()};
        m.link.closeAtWait = 3;
    }
    m.exchange.writeText(outcome == QLatin1String("refused") ? QStringLiteral("a:1\r") : QStringLiteral("a:2 sms:x"));
    QCOMPARE(m.ui.events, events);
}

QTEST_GUILESS_MAIN(TestGsmWrite)
#include "test_gsm_write.moc"
