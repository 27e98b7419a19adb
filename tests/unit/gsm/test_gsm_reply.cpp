#include <QtTest>

#include "gsm/gsmexchange.h"
#include "gsm/gsmreply.h"
#include "gsm/plaingsmpage.h"
#include "link/cp1251.h"
#include "link/operatorui.h"
#include "unit/gsm/fakegsmlink.h"

// Replies of the GSM module ("%ZEV: " lines) and what they do to the exchange
// and the page.
class TestGsmReply : public QObject
{
    Q_OBJECT
private slots:
    void repliesSetTheExchangeState_data();
    void repliesSetTheExchangeState();
    void aChecksumSplitFromItsTextInTwoLinesStillMatches();
    void aReadClearsTheShownStateUntilTheNextGoodReply();
    void anUnreadableChecksumVouchesForNothing();
};

namespace {

QByteArray cp(const char16_t *text)
{
    return cp1251::encode(QString::fromUtf16(text));
}

}  // namespace

void TestGsmReply::repliesSetTheExchangeState_data()
{
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<bool>("online");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<bool>("resend");

    const QByteArray text = cp(u"aon:1 pass:1234 sms:Тревога|Шкаф");
    const QString shown = QStringLiteral("aon:1 pass:1234 sms:Тревога|Шкаф");

    QTest::newRow("a settings text with its matching checksum puts the page online with the text")
        << QList<QByteArray>{"%ZEV: \x85#S " + text + "\x85#C16628"} << true << shown << false << false;
    QTest::newRow("a checksum one higher leaves the page waiting")
        << QList<QByteArray>{"%ZEV: \x85#S " + text + "\x85#C16629"} << false << QString() << false << false;
    QTest::newRow("a checksum 65536 higher is not cut down to a match")
        << QList<QByteArray>{"%ZEV: \x85#S " + text + "\x85#C82164"} << false << QString() << false << false;
    QTest::newRow("a checksum before its text checks nothing")
        << QList<QByteArray>{"%ZEV: \x85#C16628\x85#S " + text} << false << QString() << false << false;
    QTest::newRow("an empty settings text never goes online, whatever its checksum")
        << QList<QByteArray>{"%ZEV: \x85#S \x85#C65535", "%ZEV: \x85#S\x85#C65535"} << false << QString() << false << false;
    QTest::newRow("a lone #A sets only the confirmation")
        << QList<QByteArray>{"%ZEV: \x85#A"} << false << QString() << true << false;
    QTest::newRow("a lone #N asks for the message again")
        << QList<QByteArray>{"%ZEV: \x85#N"} << false << QString() << false << true;
    QTest::newRow("tokens that do not begin with # are ignored")
        << QList<QByteArray>{"%ZEV: #A", "%ZEV: \x85 #A\x85x#N\x85S " + text + "\x85#", "%ZEV: \x85#A \x85#Nx"}
        << false << QString() << false << false;
    QTest::newRow("the settings text starts at the fourth byte, whatever the third")
        << QList<QByteArray>{"%ZEV: \x85#S:a:1\x85#C27379\x85#A"} << true << QStringLiteral("a:1") << true << false;
}

void TestGsmReply::repliesSetTheExchangeState()
{
    QFETCH(QList<QByteArray>, lines);
    QFETCH(bool, online);
    QFETCH(QString, settings);
    QFETCH(bool, confirmed);
    QFETCH(bool, resend);

    FakeGsmLink link;
    ScriptedOperator ui;
    PlainGsmPage page;
    GsmExchange exchange(link, ui);
    exchange.setPage(&page);
    for (const QByteArray &line : lines)
        exchange.onZevLine(line);

    QCOMPARE(exchange.settingsShown(), online);
    QCOMPARE(exchange.confirmed(), confirmed);
    QCOMPARE(exchange.resendRequested(), resend);
    if (online) {
        QCOMPARE(exchange.settings(), settings);
        QCOMPARE(page.clicks.mid(page.clicks.lastIndexOf(QStringLiteral("goonline"))),
                 (QStringList{QStringLiteral("goonline"), QStringLiteral("gsmSetup")}));
    } else {
        QVERIFY(!page.clicks.contains(QStringLiteral("goonline")));
        QVERIFY(!page.clicks.contains(QStringLiteral("gsmSetup")));
    }
    QVERIFY(link.sent.isEmpty() || link.sent == QList<QByteArray>{"\r*s\r"});
}

void TestGsmReply::aChecksumSplitFromItsTextInTwoLinesStillMatches()
{
    FakeGsmLink link;
    ScriptedOperator ui;
    PlainGsmPage page;
    GsmExchange exchange(link, ui);
    exchange.setPage(&page);

    exchange.onZevLine("%ZEV: \x85#S a:1");
    QVERIFY(!exchange.settingsShown());
    exchange.onZevLine("%ZEV: \x85#C27379");
    QVERIFY(exchange.settingsShown());
    QCOMPARE(exchange.settings(), QStringLiteral("a:1"));
    QCOMPARE(page.values.value(QStringLiteral("gsmSetup")), QStringLiteral("a:1"));
}

void TestGsmReply::aReadClearsTheShownStateUntilTheNextGoodReply()
{
    FakeGsmLink link;
    ScriptedOperator ui;
    PlainGsmPage page;
    GsmExchange exchange(link, ui);
    exchange.setPage(&page);

    exchange.onZevLine("%ZEV: \x85#S a:1\x85#C27379");
    QVERIFY(exchange.settingsShown());
    exchange.requestSettings(false);
    QVERIFY(!exchange.settingsShown());
    QVERIFY(exchange.settingsValid());   // still the module's settings, only not shown
    exchange.onZevLine("%ZEV: \x85#S a:2\x85#C27380");
    QVERIFY(!exchange.settingsShown());
    QVERIFY(!exchange.settingsValid());
    QCOMPARE(exchange.settings(), QStringLiteral("a:1"));
}

void TestGsmReply::anUnreadableChecksumVouchesForNothing()
{
    FakeGsmLink link;
    ScriptedOperator ui;
    PlainGsmPage page;
    GsmExchange exchange(link, ui);
    exchange.setPage(&page);

    exchange.onZevLine("%ZEV: \x85#S a:1\x85#C27379");
    exchange.requestSettings(false);
    // The same text again, but its checksum token is damaged: the earlier
    // checksum must not count for it.
    for (const QByteArray &damaged : {QByteArray("#C"), QByteArray("#Cx1"), QByteArray("#C+27379"), QByteArray("#C 27379")}) {
        exchange.onZevLine("%ZEV: \x85#S a:1\x85" + damaged);
        QVERIFY2(!exchange.settingsShown(), damaged.constData());
    }
    exchange.onZevLine("%ZEV: \x85#S a:1\x85#C027379");
    QVERIFY(exchange.settingsShown());
}

QTEST_GUILESS_MAIN(TestGsmReply)
#include "test_gsm_reply.moc"
