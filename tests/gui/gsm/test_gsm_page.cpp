#include "gui/gsm/gsmwebfixture.h"

// The settings page itself, in the real web engine: how it loads a settings
// text, keeps "gsmSetup" and "gsmSMS" current and refuses bad values.
class TestGsmPage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void theLoadedPageWaitsForTheSettings();
    void loadingASettingsTextFillsTheControls();
    void editingAControlUpdatesTheSettingsText_data();
    void editingAControlUpdatesTheSettingsText();
    void outOfRangeValuesAreRefused_data();
    void outOfRangeValuesAreRefused();
    void theTemplateKeepsOnlyCharactersThatCanTravel();
    void theSmsCounterFollowsTheTemplate_data();
    void theSmsCounterFollowsTheTemplate();
    void serviceSectionsAppearOnlyAfterKivo();
    void theWaitingAndOnlineStatesSwitchOnClick();

private:
    std::unique_ptr<GsmWebFixture> f;
    const QString sample = QStringLiteral(
        "aon:2 p12v:1 pp:1 tbad:150 pass:4321 in3:4 in2time:30 usrph_2:+79001234567 usral_7:3 t4cal:#15 zz:9 "
        "sms:Тревога|Шкаф 3");

    // Types into a field as the operator would: input while typing, change on leaving.
    void type(const QString &id, const QString &text)
    {
        f->js(QStringLiteral("(function(){ var e = document.getElementById('%1'); e.focus(); e.value = %2;"
                             " e.dispatchEvent(new Event('input', {bubbles: true}));"
                             " e.dispatchEvent(new Event('change', {bubbles: true})); })()")
                  .arg(id, QStringLiteral("'") + QString(text).replace(u'\'', QStringLiteral("\\'")) + u'\''));
    }
    QString setup() { return f->tab.GetPageValue(QStringLiteral("gsmSetup")); }

    // A page of its own for one test, in place of the shared one while it runs.
    struct FreshPage
    {
        std::unique_ptr<GsmWebFixture> &shared;
        std::unique_ptr<GsmWebFixture> kept;
        bool loaded;
        explicit FreshPage(std::unique_ptr<GsmWebFixture> &f)
            : shared(f), kept(std::exchange(f, std::make_unique<GsmWebFixture>(false))), loaded(f->showAndLoad())
        {
        }
        ~FreshPage() { shared = std::move(kept); }
    };
    bool displayed(const QString &id)
    {
        return f->js(QStringLiteral("(function(){ var e = document.getElementById('%1');"
                                    " return !!e && e.offsetParent !== null && e.getBoundingClientRect().height > 0; })()")
                         .arg(id))
            .toBool();
    }
};

// One page for all tests: every test loads the settings it needs first.
void TestGsmPage::initTestCase()
{
    f = std::make_unique<GsmWebFixture>(false);
    QVERIFY(f->showAndLoad());
}

void TestGsmPage::init()
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^js:")));
}

void TestGsmPage::cleanupTestCase()
{
    f.reset();
}

void TestGsmPage::theLoadedPageWaitsForTheSettings()
{
    FreshPage fresh(f);
    QVERIFY(fresh.loaded);
    QVERIFY(displayed(QStringLiteral("offline1")));
    QVERIFY(!displayed(QStringLiteral("online1")));
    QCOMPARE(f->js(QStringLiteral("document.title")).toString(), QStringLiteral("onlinecfg"));
    QCOMPARE(f->js(QStringLiteral("document.characterSet")).toString().toLower(), QStringLiteral("windows-1251"));
    QCOMPARE(f->js(QStringLiteral("document.querySelector('#offline1 h1').textContent")).toString(),
             QStringLiteral("Ожидание подключения..."));
    for (const char *id : {"gsmSetup", "gsmSMS", "goonline", "gooffline", "blur", "kivo"})
        QVERIFY2(f->js(QStringLiteral("document.getElementById('%1') !== null").arg(QLatin1String(id))).toBool(), id);
}

void TestGsmPage::loadingASettingsTextFillsTheControls()
{
    f->tab.SetPageValue(QStringLiteral("gsmSetup"), sample);

    const QString checks = QStringLiteral(
        "(function(){ var $ = function(id){ return document.getElementById(id); }; return ["
        " $('aon_2').checked, $('p12v_1').checked, $('pp').checked, $('tbad').value, $('pass').value,"
        " $('in3_4').checked, $('in2time').value, $('usrph_2').value, $('usral_7').selectedIndex,"
        " $('t4cal').value, $('sms').value, $('smsl').textContent, $('pass2').value, $('in1_0').checked ].join('/'); })()");
    QCOMPARE(f->js(checks).toString(),
             QStringLiteral("true/true/true/150/4321/true/30/+79001234567/3/#15/Тревога\nШкаф 3/Шаблон занимает 1 sms/4321/false"));
    // Page order, the unknown item kept at the end, the old password for the module.
    QCOMPARE(setup(), QStringLiteral("aon:2 p12v:1 pp:1 tbad:150 pass:4321 t4cal:#15 in2time:30 in3:4 "
                                     "usrph_2:+79001234567 usral_7:3 pass2:4321 zz:9"));
    QCOMPARE(f->tab.GetPageValue(QStringLiteral("gsmSMS")), QStringLiteral("sms:Тревога|Шкаф 3"));
}

void TestGsmPage::editingAControlUpdatesTheSettingsText_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("expected");   // a pattern the new gsmSetup matches

    QTest::newRow("typing a number replaces the reported value")
        << "(function(){ var e = document.getElementById('tbad'); e.value = '200';"
           " e.dispatchEvent(new Event('input', {bubbles: true})); })()"
        << "^aon:2 p12v:1 pp:1 tbad:200 pass:4321 ";
    QTest::newRow("choosing a radio button sends its number")
        << "document.getElementById('aon_0').click()" << "^aon:0 p12v:1 ";
    QTest::newRow("ticking a box the module did not report adds its item")
        << "document.getElementById('in1f').click()" << " in1f:1 in2time:30 ";
    QTest::newRow("clearing a reported box sends 0")
        << "document.getElementById('pp').click()" << "^aon:2 p12v:1 pp:0 ";
    QTest::newRow("choosing a list line sends its number")
        << "(function(){ var e = document.getElementById('usron_4'); e.selectedIndex = 2;"
           " e.dispatchEvent(new Event('change', {bubbles: true})); })()"
        << " usrph_2:\\+79001234567 usron_4:2 usral_7:3 pass2:";
    QTest::newRow("a minus typed in a temperature is kept as #")
        << "(function(){ var e = document.getElementById('tempmin'); e.value = '-12';"
           " e.dispatchEvent(new Event('change', {bubbles: true})); })()"
        << " pass:4321 tempmin:#12 t4cal:";
    QTest::newRow("the random password button puts a number from 1 to 65530")
        << "document.querySelector('input[value=\"Выбрать случайный пароль\"]').click()"
        << " pass:([1-9]\\d{0,4}) ";
}

void TestGsmPage::editingAControlUpdatesTheSettingsText()
{
    QFETCH(QString, script);
    QFETCH(QString, expected);
    f->tab.SetPageValue(QStringLiteral("gsmSetup"), sample);
    const QString before = setup();

    f->js(script);
    const QString after = setup();
    QVERIFY2(after != before, qPrintable(after));
    const QRegularExpressionMatch match = QRegularExpression(expected).match(after);
    QVERIFY2(match.hasMatch(), qPrintable(after));
    if (match.lastCapturedIndex() == 1)
        QVERIFY(match.captured(1).toInt() >= 1 && match.captured(1).toInt() <= 65530);
    // The edited page does not touch what it was given for the template.
    QCOMPARE(f->tab.GetPageValue(QStringLiteral("gsmSMS")), QStringLiteral("sms:Тревога|Шкаф 3"));
}

void TestGsmPage::outOfRangeValuesAreRefused_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");   // the field's value afterwards; empty: refused

    QTest::newRow("a zone violation time of 0 is refused") << "tbad" << "0" << "";
    QTest::newRow("a zone violation time of 65536 is refused") << "tbad" << "65536" << "";
    QTest::newRow("a zone violation time of 65535 is taken") << "tbad" << "65535" << "65535";
    QTest::newRow("arming at hour 24 is refused") << "ton" << "24" << "";
    QTest::newRow("arming hour 99 switches it off") << "ton" << "99" << "99";
    QTest::newRow("a test period ending at 98 is refused") << "tstop" << "98" << "";
    QTest::newRow("a password of 0 is refused") << "pass" << "0" << "";
    QTest::newRow("a password with a letter is refused") << "pass" << "12a" << "";
    QTest::newRow("a unit temperature of -41 is refused") << "tempmin" << "#41" << "";
    QTest::newRow("a unit temperature of -40 is taken") << "tempmin" << "#40" << "#40";
    QTest::newRow("a sensor calibration of +101 tenths is refused") << "t2cal" << "101" << "";
    QTest::newRow("a phone number with a blank is refused") << "usrph_1" << "8 900 123" << "";
    QTest::newRow("a phone number of 22 characters is refused") << "usrph_3" << "1234567890123456789012" << "";
    QTest::newRow("a balance number with a colon is refused") << "cash" << "*100:#" << "";
    QTest::newRow("a balance number like *100# is taken") << "cash" << "*100#" << "*100#";
    QTest::newRow("a negative delay is refused") << "in4time" << "#5" << "";
}

void TestGsmPage::outOfRangeValuesAreRefused()
{
    QFETCH(QString, id);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    f->tab.SetPageValue(QStringLiteral("gsmSetup"), sample);
    const QString before = setup();
    const QString shownBefore = f->js(QStringLiteral("document.getElementById('%1').value").arg(id)).toString();

    type(id, typed);

    const QString value = f->js(QStringLiteral("document.getElementById('%1').value").arg(id)).toString();
    const QString message = f->js(QStringLiteral("(function(){ var e = document.getElementById('%1_err');"
                                                 " return e ? e.textContent : ''; })()").arg(id)).toString();
    if (kept.isEmpty()) {
        QCOMPARE(value, shownBefore);
        QCOMPARE(setup(), before);
        QVERIFY2(message.contains(QStringLiteral("не принято")), qPrintable(message));
    } else {
        QCOMPARE(value, kept);
        QVERIFY2(setup().contains(u' ' + id + u':' + kept), qPrintable(setup()));
        QVERIFY(message.isEmpty());
    }
}

void TestGsmPage::theTemplateKeepsOnlyCharactersThatCanTravel()
{
    f->tab.SetPageValue(QStringLiteral("gsmSetup"), sample);
    f->js(QStringLiteral("(function(){ var e = document.getElementById('sms'); e.value = 'Ждите…|Котел\\t1 温';"
                         " e.dispatchEvent(new Event('input', {bubbles: true})); })()"));
    QCOMPARE(f->tab.GetPageValue(QStringLiteral("gsmSMS")), QStringLiteral("sms:Ждите...|Котел1 "));
    QVERIFY(!f->js(QStringLiteral("document.getElementById('smsError').textContent")).toString().isEmpty());
}

void TestGsmPage::theSmsCounterFollowsTheTemplate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("counter");
    QTest::newRow("160 latin characters fit one sms") << QString(160, u'a') << "Шаблон занимает 1 sms";
    QTest::newRow("161 latin characters take two") << QString(161, u'a') << "Шаблон занимает 2 sms";
    QTest::newRow("70 cyrillic letters fit one sms") << QString(70, u'ж') << "Шаблон занимает 1 sms";
    QTest::newRow("71 cyrillic letters take two") << QString(71, u'ж') << "Шаблон занимает 2 sms";
    QTest::newRow("135 cyrillic letters take three") << QString(135, u'ж') << "Шаблон занимает 3 sms";
}

void TestGsmPage::theSmsCounterFollowsTheTemplate()
{
    QFETCH(QString, text);
    QFETCH(QString, counter);
    f->tab.SetPageValue(QStringLiteral("gsmSetup"), QStringLiteral("a:1 sms:") + text);
    QCOMPARE(f->js(QStringLiteral("document.getElementById('smsl').textContent")).toString(), counter);
}

void TestGsmPage::serviceSectionsAppearOnlyAfterKivo()
{
    FreshPage fresh(f);
    QVERIFY(fresh.loaded);
    f->tab.ClickPageElement(QStringLiteral("goonline"));
    const QStringList service = {QStringLiteral("kivo1"), QStringLiteral("kivo2"), QStringLiteral("kivo3"),
                                 QStringLiteral("kivo4"), QStringLiteral("usrph_4"), QStringLiteral("usron_1"),
                                 QStringLiteral("sms2")};
    for (const QString &id : service)
        QVERIFY2(!displayed(id), qPrintable(id));
    QVERIFY(displayed(QStringLiteral("usrph_3")));
    QVERIFY(displayed(QStringLiteral("pass")));

    f->tab.ClickPageElement(QStringLiteral("kivo"));
    for (const QString &id : service)
        QVERIFY2(displayed(id), qPrintable(id));
    QCOMPARE(f->js(QStringLiteral("document.getElementsByClassName('notForAll').length")).toInt(), 0);
}

void TestGsmPage::theWaitingAndOnlineStatesSwitchOnClick()
{
    f->tab.ClickPageElement(QStringLiteral("goonline"));
    QVERIFY(displayed(QStringLiteral("online1")));
    QVERIFY(!displayed(QStringLiteral("offline1")));
    f->tab.ClickPageElement(QStringLiteral("gooffline"));
    QVERIFY(!displayed(QStringLiteral("online1")));
    QVERIFY(displayed(QStringLiteral("offline1")));
}

GSM_WEB_TEST_MAIN(TestGsmPage)
#include "test_gsm_page.moc"
