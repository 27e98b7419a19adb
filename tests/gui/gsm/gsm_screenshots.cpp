// Shows the GSM settings tab with a scripted module and saves pictures of
// its states: gsm-waiting.png, gsm-online.png, then the service sections
// (gsm-service-*.png). Usage: gsm_screenshots [folder]
#include <QApplication>
#include <QDir>
#include <QTest>
#include <QWebEngineView>
#include <cstdio>

#include "gsm/gsmexchange.h"
#include "gsm/gsmsettingstab.h"
#include "link/cp1251.h"
#include "link/crc16.h"
#include "link/operatorui.h"
#include "support/screenshots.h"
#include "unit/gsm/fakegsmlink.h"

namespace {

const char *sampleSettings =
    "aon:0 p12v:2 pp:1 tbad:50 tnorm:300 maxt:3 pass:4812 ton:99 tstart:8 tstop:20 tint:24 tempmin:#10 tempmax:45 "
    "cash:*100# cashmin:50 cashtime:24 t1t:2 t1cal:0 t1t1:35 t1d1:9 t1t2:39 t1d2:9 "
    "in1:0 in1dop:0 in1f:0 in1per:1 in1con:0 in1z:0 in1time:0 in2:1 in2dop:0 in2f:0 in2per:0 in2con:1 in2z:0 in2time:30 "
    "in3:4 in3dop:0 in3f:0 in3per:0 in3con:1 in3z:1 in3time:0 in4:8 in4dop:0 in4f:0 in4per:0 in4con:2 in4z:0 in4time:0 "
    "out1:5 out1off:1 out1u:0 out1p:0 out1l:0 out1time:60 out2:6 out2off:0 out2u:0 out2p:1 out2l:0 out2time:0 "
    "out3:0 out3off:0 out3u:1 out3p:0 out3l:1 out3time:0 out4:9 out4off:0 out4u:0 out4p:0 out4l:0 out4time:0 "
    "usrph_1:+79161234567 usron_1:2 usral_1:3 usrtst_1:2 usrc_1:1 usre_1:0 usri_1:1 "
    "usrph_2:+79037654321 usron_2:0 usral_2:4 usrtst_2:0 usrc_2:0 usre_2:1 usri_2:0 "
    "sms:Инкубаторий. Тревога!|Шкаф: проверьте температуру";

bool grab(GsmSettingsTab &tab, const QString &path)
{
    QTest::qWait(600);   // let the engine paint the last change
    const bool ok = screenshots::save(tab, path);
    // Whatever sticks out sideways makes the page scroll sideways.
    const QString wide = tab.runPageScript(QStringLiteral(
        "(function(){ var w = document.documentElement.clientWidth, out = [];"
        " document.querySelectorAll('body *').forEach(function(e){ var r = e.getBoundingClientRect();"
        "  if (r.width > 0 && r.right > w + 1) out.push((e.id || e.tagName) + ':' + Math.round(r.right)); });"
        " return out.slice(0, 8).join(' '); })()")).toString();
    if (!wide.isEmpty())
        std::printf("  wider than the view: %s\n", qPrintable(wide));
    return ok;
}

}  // namespace

int main(int argc, char **argv)
{
    GsmSettingsTab::prepareApplication();
    QApplication app(argc, argv);
    const QString folder = screenshots::folder(argc, argv);

    FakeGsmLink link;
    link.realWaits = true;
    ScriptedOperator ui;
    GsmExchange exchange(link, ui);
    link.deliver = [&](const QByteArray &line) { exchange.onZevLine(line); };
    GsmSettingsTab tab(&exchange, false);   // service sections opened by hand below
    tab.resize(1024, 760);
    tab.show();
    if (!QTest::qWaitFor([&] { return tab.pageLoaded(); }, 30000)) {
        std::fprintf(stderr, "the page did not load\n");
        return 1;
    }
    bool ok = grab(tab, folder + QStringLiteral("/gsm-waiting.png"));

    const QByteArray text = cp1251::encode(QString::fromUtf8(sampleSettings));
    exchange.onZevLine("%ZEV: \x85#S " + text + "\x85#C" + QByteArray::number(crc16(text)));
    ok &= grab(tab, folder + QStringLiteral("/gsm-online.png"));

    tab.ClickPageElement(QStringLiteral("kivo"));
    tab.runPageScript(QStringLiteral("jump('K')"));
    ok &= grab(tab, folder + QStringLiteral("/gsm-service-inputs.png"));
    tab.runPageScript(QStringLiteral("jump('U')"));
    ok &= grab(tab, folder + QStringLiteral("/gsm-service-users.png"));
    tab.runPageScript(QStringLiteral("jump('T')"));
    ok &= grab(tab, folder + QStringLiteral("/gsm-service-sms.png"));
    tab.runPageScript(QStringLiteral("(function(){ document.querySelector('#Therm ~ p a').click(); jump('Therm'); })()"));
    ok &= grab(tab, folder + QStringLiteral("/gsm-service-sensors.png"));
    tab.runPageScript(QStringLiteral("(function(){ var e = document.getElementById('tbad'); e.value = '70000';"
                                     " e.dispatchEvent(new Event('change', {bubbles: true})); jump('S'); })()"));
    ok &= grab(tab, folder + QStringLiteral("/gsm-service-refused.png"));
    return ok ? 0 : 1;
}
