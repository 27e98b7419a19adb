#include <QDesktopServices>
#include <QToolBar>
#include <QWebEngineView>

#include "gui/gsm/gsmwebfixture.h"

// The settings tab: when the page loads, when the module is asked, and what
// the page's navigations do.
class TestGsmTab : public QObject
{
    Q_OBJECT
private slots:
    void theFirstShowingLoadsThePageAndAsksForTheSettings();
    void comingBackAsksAgainOnlyWithoutSettingsShown();
    void validSettingsPutThePageOnlineWithThem();
    void thePagesWriteButtonWritesAndTheBrowserStays();
    void thePagesReadButtonAsksAgain();
    void theToolBarButtonsWriteAndRead();
    void everyReadShowsTheServiceSectionsOnlyWithTheSwitch_data();
    void everyReadShowsTheServiceSectionsOnlyWithTheSwitch();
    void thePageCannotLeaveTheProgramsResources_data();
    void thePageCannotLeaveTheProgramsResources();
    void aReloadedPageComesBackWithTheSettings();
    void aPageLoadedElsewhereGivesWayToTheSettingsPage();
};

namespace {

// Catches the addresses that would go to the system browser.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

}  // namespace

void TestGsmTab::theFirstShowingLoadsThePageAndAsksForTheSettings()
{
    GsmWebFixture f;
    QVERIFY(!f.tab.browser());   // no web engine before the tab is shown
    QVERIFY(!f.tab.pageNavigated());

    f.tab.show();
    QTRY_VERIFY(f.tab.browser());
    QVERIFY(f.tab.pageNavigated());
    QCOMPARE(f.tab.browser()->url(), QUrl(QStringLiteral("qrc:/HTML/zevonline")));
    if (!f.tab.pageLoaded())
        QVERIFY(f.tab.loadingIndicator()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(f.tab.pageLoaded(), 30000);
    QVERIFY(!f.tab.loadingIndicator()->isVisible());
    QCOMPARE(f.link.sent, QList<QByteArray>{"\r*s\r"});
}

void TestGsmTab::comingBackAsksAgainOnlyWithoutSettingsShown()
{
    GsmWebFixture f;
    QVERIFY(f.showAndLoad());
    f.link.sent.clear();

    f.report(QStringLiteral("a:1 sms:x"));
    f.tab.hide();
    f.tab.show();
    QCoreApplication::processEvents();   // runs the handler the showing deferred
    f.tab.zevTabShown();
    QVERIFY(f.link.sent.isEmpty());

    f.tab.refreshZEVClick();   // the shown settings are dropped until the module answers
    QCOMPARE(f.link.sent, QList<QByteArray>{"\r*s\r"});
    f.tab.hide();
    f.tab.show();
    QTRY_COMPARE(f.link.sent.size(), 2);
    QCOMPARE(f.link.sent.last(), QByteArray("\r*s\r"));
}

void TestGsmTab::validSettingsPutThePageOnlineWithThem()
{
    GsmWebFixture f;
    QVERIFY(f.showAndLoad());

    f.report(QStringLiteral("aon:1 tbad:150 sms:Проверка"));
    QCOMPARE(f.tab.GetPageValue(QStringLiteral("gsmSetup")), QStringLiteral("aon:1 tbad:150"));
    QCOMPARE(f.tab.GetPageValue(QStringLiteral("gsmSMS")), QStringLiteral("sms:Проверка"));
    QVERIFY(f.js(QStringLiteral("document.getElementById('offline1').style.display === 'none'")).toBool());

    // A checksum that does not match leaves the page as it was.
    f.tab.refreshZEVClick();
    f.exchange.onZevLine("%ZEV: \x85#S aon:2\x85#C1");
    QVERIFY(f.js(QStringLiteral("document.getElementById('offline1').style.display !== 'none'")).toBool());
    QCOMPARE(f.tab.GetPageValue(QStringLiteral("gsmSetup")), QStringLiteral("aon:1 tbad:150"));
}

void TestGsmTab::thePagesWriteButtonWritesAndTheBrowserStays()
{
    GsmWebFixture f;
    QVERIFY(f.showAndLoad());
    f.report(QStringLiteral("aon:1 tbad:150 sms:x"));
    // Typed, and the field not left yet.
    f.js(QStringLiteral("(function(){ var e = document.getElementById('tbad'); e.focus(); e.value = '200';"
                        " e.dispatchEvent(new Event('input', {bubbles: true})); })()"));
    f.link.sent.clear();

    f.js(QStringLiteral("document.querySelector('#online1 input').click()"));
    QTRY_COMPARE(f.ui.messages, QStringList{QStringLiteral("Настройки записаны")});
    QCOMPARE(f.link.sent, (QList<QByteArray>{"\r\r*C5658\r*S tbad:200 \r\r", "\r\r\r*R\r\r\r"}));
    QCOMPARE(f.tab.browser()->url(), QUrl(QStringLiteral("qrc:/HTML/zevonline")));
    QCOMPARE(f.tab.GetPageValue(QStringLiteral("gsmSetup")), QStringLiteral("aon:1 tbad:200"));
}

void TestGsmTab::thePagesReadButtonAsksAgain()
{
    GsmWebFixture f;
    QVERIFY(f.showAndLoad());
    f.link.sent.clear();
    f.js(QStringLiteral("document.querySelector('#offline1 input[type=button]').click()"));
    QTRY_COMPARE(f.link.sent, QList<QByteArray>{"\r*s\r"});
    QCOMPARE(f.tab.browser()->url(), QUrl(QStringLiteral("qrc:/HTML/zevonline")));
}

void TestGsmTab::theToolBarButtonsWriteAndRead()
{
    GsmWebFixture f;
    QVERIFY(f.showAndLoad());
    f.report(QStringLiteral("a:1 sms:x"));
    f.link.sent.clear();
    auto *write = f.tab.findChild<QAction *>(QStringLiteral("WriteS"));
    auto *read = f.tab.findChild<QAction *>(QStringLiteral("refreshZEV"));
    QVERIFY(write && read);
    QCOMPARE(write->text(), QStringLiteral("Записать настройки"));
    QCOMPARE(read->text(), QStringLiteral("Считать настройки"));

    write->trigger();
    QCOMPARE(f.link.sent, (QList<QByteArray>{"\r\r*C39102\r*S \r\r", "\r\r\r*R\r\r\r"}));
    read->trigger();
    QCOMPARE(f.link.sent.last(), QByteArray("\r*s\r"));
}

void TestGsmTab::everyReadShowsTheServiceSectionsOnlyWithTheSwitch_data()
{
    QTest::addColumn<bool>("serviceMode");
    QTest::newRow("started with /kivo") << true;
    QTest::newRow("started without it") << false;
}

void TestGsmTab::everyReadShowsTheServiceSectionsOnlyWithTheSwitch()
{
    QFETCH(bool, serviceMode);
    GsmWebFixture f(serviceMode);
    QVERIFY(f.showAndLoad());
    f.report(QStringLiteral("a:1 sms:x"));
    QCOMPARE(f.js(QStringLiteral("document.getElementById('kivo1').getBoundingClientRect().height > 0")).toBool(),
             serviceMode);
}

void TestGsmTab::thePageCannotLeaveTheProgramsResources_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("external");   // what reaches the system browser
    QTest::newRow("a clicked web link opens in the system browser")
        << "(function(){ var a = document.createElement('a'); a.href = 'https://example.org/help';"
           " document.body.appendChild(a); a.click(); })()"
        << "https://example.org/help";
    QTest::newRow("a web address the page goes to opens in the system browser too")
        << "location.href = 'https://example.org/'" << "https://example.org/";
}

void TestGsmTab::thePageCannotLeaveTheProgramsResources()
{
    QFETCH(QString, script);
    QFETCH(QString, external);
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    GsmWebFixture f;
    QVERIFY(f.showAndLoad());
    QSignalSpy finished(f.tab.browser()->page(), &QWebEnginePage::loadFinished);

    f.js(script);
    QTRY_COMPARE(finished.size(), 1);   // the refused navigation ends as a failed load
    QCOMPARE(finished.first().first().toBool(), false);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));

    QCOMPARE(f.tab.browser()->url(), QUrl(QStringLiteral("qrc:/HTML/zevonline")));
    QVERIFY(f.js(QStringLiteral("document.getElementById('gsmSetup') !== null")).toBool());
    QCOMPARE(catcher.urls, external.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(external)});
    QCOMPARE(f.link.sent, QList<QByteArray>{"\r*s\r"});   // only the read of the first load
}

void TestGsmTab::aReloadedPageComesBackWithTheSettings()
{
    GsmWebFixture f;
    QVERIFY(f.showAndLoad());
    f.report(QStringLiteral("aon:1 sms:x"));
    f.link.sent.clear();
    QSignalSpy finished(f.tab.browser()->page(), &QWebEnginePage::loadFinished);

    f.tab.browser()->reload();
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(f.tab.GetPageValue(QStringLiteral("gsmSetup")), QStringLiteral("aon:1"));
    QVERIFY(f.js(QStringLiteral("document.getElementById('offline1').style.display === 'none'")).toBool());
    QVERIFY(f.link.sent.isEmpty());
}

void TestGsmTab::aPageLoadedElsewhereGivesWayToTheSettingsPage()
{
    GsmWebFixture f;
    QVERIFY(f.showAndLoad());
    f.report(QStringLiteral("aon:1 sms:x"));
    QSignalSpy finished(f.tab.browser()->page(), &QWebEnginePage::loadFinished);

    // about:blank loads without a navigation request.
    f.js(QStringLiteral("location.href = 'about:blank'"));
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, 30000);
    QCOMPARE(f.tab.browser()->url(), QUrl(QStringLiteral("qrc:/HTML/zevonline")));
    QCOMPARE(f.tab.GetPageValue(QStringLiteral("gsmSetup")), QStringLiteral("aon:1"));
}

GSM_WEB_TEST_MAIN(TestGsmTab)
#include "test_gsm_tab.moc"
