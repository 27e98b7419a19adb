// Pictures of the service page for a person to look at, written to
// screenshots/ (or the folder named by INCUBATOR_SCREENSHOTS): the page
// measuring against the built-in demonstration collector.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "link/link.h"
#include "link/operatorui.h"
#include "service/servicepage.h"
#include "sim/portfactory.h"

namespace {

QString shotDir()
{
    const QString dir = qEnvironmentVariableIsSet("INCUBATOR_SCREENSHOTS")
        ? qEnvironmentVariable("INCUBATOR_SCREENSHOTS")
        : QStringLiteral(INCUBATOR_SCREENSHOT_DIR);
    QDir().mkpath(dir);
    return dir;
}

}  // namespace

class ServicePageScreenshots : public QObject
{
    Q_OBJECT
private slots:
    void thePageMeasuringOnTheDemonstrationCollector()
    {
        QTemporaryDir work;
        ScriptedOperator ui;
        LinkTimings timings;
        timings.pumpMs = 1;
        Link link(simulatorAwarePortFactory(), ui, timings);
        link.setMeasurementLogPath(work.filePath("incubator.bin"));
        link.setPort(QString::fromLatin1(demoPortPath), QString::fromUtf8(demoPortDisplayName));
        link.startPump();
        QTRY_COMPARE(link.state(), Link::Open);

        ServicePage page(link, ui);
        page.setSensorTimings({5, 20, 5, 50});
        page.resize(860, 440);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));

        page.readD->click();
        QVERIFY2(ui.messages.isEmpty(), qPrintable(ui.messages.join(' ')));
        QCOMPARE(page.rows().first(), "1");

        page.wr->click();
        page.mes->click();
        QTRY_VERIFY(!page.hum->text().isEmpty());
        // A couple of seconds of frames: the average is still filling its
        // hundred slots, as it would be on a real bench.
        QTRY_VERIFY_WITH_TIMEOUT(page.Edit4->text().toInt() > 380, 20000);
        QVERIFY(!page.extt->text().isEmpty());

        QCoreApplication::processEvents();
        const QPixmap picture = page.grab();
        QVERIFY(!picture.isNull());
        const QString path = QDir(shotDir()).filePath("service_page_measuring.png");
        QVERIFY2(picture.save(path), qPrintable(path));
        qInfo("wrote %s", qPrintable(path));

        page.Button7->click();
        link.setClosing();
    }
};

QTEST_MAIN(ServicePageScreenshots)
#include "service_screenshots.moc"
