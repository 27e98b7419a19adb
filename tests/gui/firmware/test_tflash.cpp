#include <QtTest>

#include "firmware/firmwareservicebuttons.h"
#include "firmware/firmwareupdate.h"
#include "firmware/tflash.h"
#include "integration/firmware_sim/firmwaresim.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

// The firmware window and the service page's buttons, on the simulated
// collector.
class TestTFlash : public QObject
{
    Q_OBJECT
private slots:
    void aCabinetUpdateFillsTheLogAndTheGaugesAndLocksTheWindowMeanwhile();
    void aCollectorUpdateShowsItsBlocksOnBothGauges();
    void aCollectorKernelThatNeverGetsInStepClosesTheWindow();
    void openingTheWindowAgainClearsTheLogAndTheGauges();
    void theUpdateButtonWarnsOutsideBroadcastAndOpensTheWindowAnyway_data();
    void theUpdateButtonWarnsOutsideBroadcastAndOpensTheWindowAnyway();
    void theModeButtonsSwitchTheCollector();
};

namespace {

template <typename T>
T *child(QWidget &w, const char *name)
{
    return w.findChild<T *>(QLatin1String(name));
}

QString logText(TFlash &flash)
{
    return child<QPlainTextEdit>(flash, "disp")->toPlainText();
}

void prepare(TFlash &flash, FirmwareSim &sim, const ConverterSetup &converter)
{
    flash.procedures().setClock(&sim.clock);
    flash.procedures().setConverterSetup(converter);
}

void saveScreenshot(QWidget &w, const char *name)
{
    const QDir dir(QStringLiteral(INCUBATOR_SCREENSHOT_DIR));
    QVERIFY(dir.mkpath(QStringLiteral(".")));
    QVERIFY(w.grab().save(dir.filePath(QLatin1String(name))));
}

}  // namespace

void TestTFlash::aCabinetUpdateFillsTheLogAndTheGaugesAndLocksTheWindowMeanwhile()
{
    FirmwareSim sim;
    QVERIFY(sim.waitOpen());
    QVERIFY(sim.writeHexSources());
    TFlash flash(sim.link, sim.ui);
    prepare(flash, sim, sim.converter());
    flash.setBusAddress(63);
    flash.open();
    QVERIFY(QTest::qWaitForWindowExposed(&flash));
    QCOMPARE(flash.windowTitle(), QStringLiteral("Перешивка ПО"));

    auto *Enum = child<QPushButton>(flash, "Enum");
    auto *sbf = child<QPushButton>(flash, "sbf");
    auto *close = child<QPushButton>(flash, "close");
    QList<bool> enabledDuringRun;
    bool visibleAfterEscape = false;
    sim.cabinet5->onBlock = [&](CabinetKernel::Unit, int reception) {
        if (reception != 0)
            return;
        enabledDuringRun << Enum->isEnabled() << sbf->isEnabled() << close->isEnabled();
        flash.reject();   // Escape
        close->click();
        visibleAfterEscape = flash.isVisible();
    };

    QTest::mouseClick(Enum, Qt::LeftButton);

    QCOMPARE(enabledDuringRun, QList<bool>({false, false, false}));
    QVERIFY(visibleAfterEscape);
    QVERIFY(Enum->isEnabled() && sbf->isEnabled() && close->isEnabled());
    QCOMPARE(logText(flash), QStringLiteral("Запуск fwmaker для 'incubator.hex'...\n"
                                            "Запуск fwmaker для 'indicator.hex'...\n"
                                            "Считывание прошивки...\n"
                                            "fwimg.main\n"
                                            "Считывание прошивки...\n"
                                            "fwimg.ind\n"
                                            "Перевод устройства в boot режим...\n"
                                            "Запись программы индикатора..\n"
                                            "Запись программы основного блока...\n"
                                            "Запуск программ...\n"
                                            "Flash память успешно записана.\n"
                                            "  Дождитесь перезапуска программы."));
    auto *progr1 = child<QProgressBar>(flash, "progr1");
    auto *progr = child<QProgressBar>(flash, "progr");
    QCOMPARE(progr1->maximum(), 2);
    QCOMPARE(progr1->value(), 2);
    QCOMPARE(progr->maximum(), 3);
    QCOMPARE(progr->value(), 3);
    QCOMPARE(sim.cabinet9->starts(), 1);
    QVERIFY(flash.isVisible());

    saveScreenshot(flash, "tflash_cabinet_update.png");
    close->click();
    QVERIFY(!flash.isVisible());
}

void TestTFlash::aCollectorUpdateShowsItsBlocksOnBothGauges()
{
    FirmwareSim sim;
    QVERIFY(sim.waitOpen());
    QVERIFY(sim.writeImages());
    TFlash flash(sim.link, sim.ui);
    prepare(flash, sim, sim.noConverter());
    flash.open();
    QVERIFY(QTest::qWaitForWindowExposed(&flash));

    flash.sbfClick();

    const QStringList lines = logText(flash).split(QLatin1Char('\n'));
    QCOMPARE(lines.value(lines.size() - 3), QStringLiteral("Запись..."));
    QCOMPARE(lines.last(), QStringLiteral("  Дождитесь перезапуска программы."));
    for (const char *name : {"progr1", "progr"}) {
        QCOMPARE(child<QProgressBar>(flash, name)->maximum(), 3);
        QCOMPARE(child<QProgressBar>(flash, name)->value(), 3);
    }
    QVERIFY(flash.isVisible());
    saveScreenshot(flash, "tflash_collector_update.png");
}

void TestTFlash::aCollectorKernelThatNeverGetsInStepClosesTheWindow()
{
    FirmwareSim sim;
    QVERIFY(sim.waitOpen());
    QVERIFY(sim.writeImages());
    sim.collectorKernel().faults.mute = true;
    TFlash flash(sim.link, sim.ui);
    prepare(flash, sim, sim.noConverter());
    flash.open();
    QVERIFY(QTest::qWaitForWindowExposed(&flash));

    flash.sbfClick();

    QVERIFY(!flash.isVisible());
    QCOMPARE(flash.result(), int(QDialog::Accepted));
    QVERIFY(logText(flash).endsWith(QStringLiteral("Устройство не перешло в boot режим.\n"
                                                   "Отключите питание устройтсва и попробуйте перешить ПО еще раз.")));
    QVERIFY(child<QPushButton>(flash, "close")->isEnabled());
    QVERIFY(sim.written->endsWith(QByteArray::fromHex("80CA81E1")));
}

void TestTFlash::openingTheWindowAgainClearsTheLogAndTheGauges()
{
    FirmwareSim sim;
    QVERIFY(sim.waitOpen());
    QVERIFY(sim.writeImages());
    TFlash flash(sim.link, sim.ui);
    prepare(flash, sim, sim.noConverter());
    flash.open();
    flash.EnumClick();
    QVERIFY(!logText(flash).isEmpty());
    QCOMPARE(child<QProgressBar>(flash, "progr")->value(), 3);
    flash.closeClick();

    flash.open();
    QVERIFY(logText(flash).isEmpty());
    QCOMPARE(child<QProgressBar>(flash, "progr")->value(), 0);
    QCOMPARE(child<QProgressBar>(flash, "progr1")->value(), 0);
}

void TestTFlash::theUpdateButtonWarnsOutsideBroadcastAndOpensTheWindowAnyway_data()
{
    QTest::addColumn<int>("num");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("broadcast: no warning") << 63 << QStringList();
    QTest::newRow("cabinet 5: the broadcast warning")
        << 5 << QStringList{"Перешивка возможна только в широковещательном режиме!"};
}

void TestTFlash::theUpdateButtonWarnsOutsideBroadcastAndOpensTheWindowAnyway()
{
    QFETCH(int, num);
    QFETCH(QStringList, messages);

    FirmwareSim sim;
    QVERIFY(sim.waitOpen());
    TFlash flash(sim.link, sim.ui);
    FirmwareServiceButtons buttons(sim.link, sim.ui, flash);
    buttons.busAddress = [num] { return num; };
    buttons.show();

    // Closes the window from inside its own event loop once it shows.
    bool shownModally = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, &flash, [&] {
        if (!flash.isVisible())
            return;
        shownModally = flash.isModal();
        flash.closeClick();
    });
    closer.start(5);
    QTest::mouseClick(child<QPushButton>(buttons, "Button6"), Qt::LeftButton);

    QVERIFY(shownModally);
    QCOMPARE(sim.ui.messages, messages);
    QCOMPARE(flash.busAddress(), num);
    // The port was closed and opened again first.
    QVERIFY(sim.ui.statusHistory.contains(QStringLiteral("Ожидание...")));
    QCOMPARE(sim.link.state(), Link::Open);
}

void TestTFlash::theModeButtonsSwitchTheCollector()
{
    FirmwareSim sim;
    QVERIFY(sim.waitOpen());
    TFlash flash(sim.link, sim.ui);
    FirmwareServiceButtons buttons(sim.link, sim.ui, flash);
    buttons.show();

    QTest::mouseClick(child<QPushButton>(buttons, "Bridge"), Qt::LeftButton);
    QTRY_COMPARE(sim.collector.mode(), Collector::Mode::Bridge);
    QTest::mouseClick(child<QPushButton>(buttons, "Auto"), Qt::LeftButton);
    QTRY_COMPARE(sim.collector.mode(), Collector::Mode::Auto);
    QCOMPARE(*sim.written, QByteArray::fromHex("80CA82E1" "80CA81E1"));
}

QTEST_MAIN(TestTFlash)
#include "test_tflash.moc"
