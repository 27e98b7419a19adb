#include <QtTest>

#include "firmware/firmwareupdate.h"
#include "integration/firmware_sim/firmwaresim.h"

// Both update procedures end to end: the program's procedures and link
// against the simulated collector with its own boot kernel and the kernels of
// two cabinets, image files made by the built converter from HEX files.
class TestFirmwareUpdate : public QObject
{
    Q_OBJECT
private slots:
    void aCabinetUpdateWritesBothProgramsMadeByTheConverter();
    void aCabinetUpdateAtOneAddressLeavesOtherCabinetsAlone();
    void aCollectorUpdateWritesItsProgramMadeByTheConverter();
    void cabinetUpdateFailuresEndWithAutomaticMode_data();
    void cabinetUpdateFailuresEndWithAutomaticMode();
    void collectorUpdateFailuresEndWithAutomaticMode_data();
    void collectorUpdateFailuresEndWithAutomaticMode();
    void aStrayErrorByteCostsOneMoreBootEntryAndTheBlockGoesAgain();
    void aLostAcknowledgementIsRecoveredBySynchronisingAgain();
    void losingTheLineDuringTheIndicatorBlocksSkipsToStartingThePrograms_data();
    void losingTheLineDuringTheIndicatorBlocksSkipsToStartingThePrograms();
    void noSecondUpdateStartsWhileOneRuns();
    void anExceptionInsideAnUpdateStillRunsTheEndStep();
    void aChattyCollectorDoesNotDisturbTheCabinetUpdate();
};

namespace {

// Bus word 320 then command 2 (bridge) or 1 (automatic mode).
const QByteArray bridgeMode = QByteArray::fromHex("80CA82E1");
const QByteArray autoMode = QByteArray::fromHex("80CA81E1");
const QByteArray cardCommand = QByteArray::fromHex("95E1");

const QStringList cabinetSuccessLog = {
    "Запуск fwmaker для 'incubator.hex'...",
    "Запуск fwmaker для 'indicator.hex'...",
    "Считывание прошивки...",
    "fwimg.main",
    "Считывание прошивки...",
    "fwimg.ind",
    "Перевод устройства в boot режим...",
    "Запись программы индикатора..",
    "Запись программы основного блока...",
    "Запуск программ...",
    "Flash память успешно записана.",
    "  Дождитесь перезапуска программы.",
};

const QStringList collectorIdentified = {
    "Готово.",
    "Запрос конфигурации...",
    "..bootloader ver 0x01, rev 0x02",
    "..device id 0x040D, proc 0003, rev 0003",
    "..Найден PIC24FJ128GA010 (ID: 0x040D)",
};

const QStringList collectorLoaded = {
    "Считывание прошивки...",
    "fwimg.col",
    "Если с устройством возникли проблеммы - включите его сейчас!",
    "Перевод устройства в boot режим...",
};

const QStringList collectorSuccessTail = {
    "Запись...",
    "Flash память успешно записана.",
    "  Дождитесь перезапуска программы.",
};

const QStringList cabinetLoaded = {
    "Считывание прошивки...", "fwimg.main", "Считывание прошивки...", "fwimg.ind", "Перевод устройства в boot режим...",
};

QList<QByteArray> imageBlocks(const char *file)
{
    ScriptedOperator quiet;
    FirmwareImage image;
    if (!loadImage(QString::fromLatin1(file), image, quiet))
        return {};
    QList<QByteArray> blocks;
    for (int j = 0; j < image.blockCount; ++j)
        blocks << image.block(j).toByteArray();
    return blocks;
}

struct Gauges
{
    QMap<FlashGauge, int> maximum;
    QMap<FlashGauge, int> value;

    void attach(FirmwareUpdate &update)
    {
        update.setGaugeMaximum = [this](FlashGauge g, int m) { maximum[g] = m; };
        update.setGaugeValue = [this](FlashGauge g, int v) { value[g] = v; };
    }
};

std::unique_ptr<FirmwareUpdate> procedures(FirmwareSim &sim, const ConverterSetup &converter)
{
    auto update = std::make_unique<FirmwareUpdate>(sim.link, sim.ui);
    update->setClock(&sim.clock);
    update->setConverterSetup(converter);
    return update;
}

void damageBlockByte(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite) || !f.seek(40))
        qFatal("cannot open %s", qPrintable(path));
    char c = 0;
    f.getChar(&c);
    f.seek(40);
    f.putChar(char(c ^ 0x01));
}

enum class CabinetSetup { MissingIndicatorImage, DamagedMainImage, EveryBlockRefused };
enum class CollectorSetup { MissingImage, KernelNeverAnswers, ConfigurationUnanswered, UnknownProcessor,
                            EveryBlockRefused, EveryAcknowledgementLost };

}  // namespace

Q_DECLARE_METATYPE(CabinetSetup)
Q_DECLARE_METATYPE(CollectorSetup)
Q_DECLARE_METATYPE(FirmwareUpdate::Outcome)

void TestFirmwareUpdate::aCabinetUpdateWritesBothProgramsMadeByTheConverter()
{
    FirmwareSim sim;
    QVERIFY(sim.waitOpen());
    QVERIFY(sim.writeHexSources());
    auto update = procedures(sim, sim.converter());
    Gauges gauges;
    gauges.attach(*update);

    QCOMPARE(update->updateCabinets(63), FirmwareUpdate::Outcome::Written);

    QCOMPARE(sim.ui.log, cabinetSuccessLog);
    const QList<QByteArray> mainBlocks = imageBlocks("fwimg.main");
    const QList<QByteArray> indicatorBlocks = imageBlocks("fwimg.ind");
    QCOMPARE(mainBlocks.size(), 3);
    QCOMPARE(indicatorBlocks.size(), 2);
    for (const auto &cabinet : {sim.cabinet5, sim.cabinet9}) {
        QString difference;
        QVERIFY2(memoryHolds(cabinet->memory(CabinetKernel::Unit::Main), mainProgram(), &difference), qPrintable(difference));
        QVERIFY2(memoryHolds(cabinet->memory(CabinetKernel::Unit::Indicator), indicatorProgram(), &difference),
                 qPrintable(difference));
        QCOMPARE(cabinet->blocks(CabinetKernel::Unit::Main), mainBlocks);
        QCOMPARE(cabinet->blocks(CabinetKernel::Unit::Indicator), indicatorBlocks);
        QCOMPARE(cabinet->starts(), 1);
        QVERIFY(!cabinet->inBootMode());
    }

    QVERIFY(sim.written->startsWith(bridgeMode));
    QVERIFY(sim.written->endsWith(autoMode));
    QTRY_COMPARE(sim.collector.mode(), Collector::Mode::Auto);
    QVERIFY(!sim.link.portHeld());
    QCOMPARE(gauges.maximum.value(FlashGauge::Main), 3);
    QCOMPARE(gauges.maximum.value(FlashGauge::Indicator), 2);
    QCOMPARE(gauges.value.value(FlashGauge::Main), 3);
    QCOMPARE(gauges.value.value(FlashGauge::Indicator), 2);
}

void TestFirmwareUpdate::aCabinetUpdateAtOneAddressLeavesOtherCabinetsAlone()
{
    FirmwareSim sim;
    QVERIFY(sim.waitOpen());
    QVERIFY(sim.writeImages());
    auto update = procedures(sim, sim.noConverter());

    QCOMPARE(update->updateCabinets(5), FirmwareUpdate::Outcome::Written);

    QCOMPARE(sim.ui.log, cabinetSuccessLog.mid(2));
    QString difference;
    QVERIFY2(memoryHolds(sim.cabinet5->memory(CabinetKernel::Unit::Main), mainProgram(), &difference),
             qPrintable(difference));
    QCOMPARE(sim.cabinet5->starts(), 1);
    QCOMPARE(sim.cabinet9->bootRequests(), 0);
    QCOMPARE(sim.cabinet9->receptions(), 0);
    QCOMPARE(sim.cabinet9->starts(), 0);
    // The address word of cabinet 5 is 320 + 5, sent twice before each burst.
    QVERIFY(sim.written->contains(QByteArray::fromHex("85CA85CA")));
}

void TestFirmwareUpdate::aCollectorUpdateWritesItsProgramMadeByTheConverter()
{
    FirmwareSim sim;
    QVERIFY(sim.waitOpen());
    QVERIFY(sim.writeHexSources());
    auto update = procedures(sim, sim.converter());
    Gauges gauges;
    gauges.attach(*update);

    QCOMPARE(update->updateCollector(), FirmwareUpdate::Outcome::Written);

    const QStringList expected = QStringList{"Запуск fwmaker для 'collector.hex'...", "Готово.", ""}
                                 + collectorLoaded + collectorIdentified + collectorSuccessTail;
    QCOMPARE(sim.ui.log, expected);
    QString difference;
    QVERIFY2(memoryHolds(sim.collectorKernel().memory(), collectorProgram(), &difference), qPrintable(difference));
    QCOMPARE(sim.collectorKernel().blocks(), imageBlocks("fwimg.col"));
    QCOMPARE(sim.collectorKernel().starts(), 1);
    QCOMPARE(gauges.maximum.value(FlashGauge::Main), 3);
    QCOMPARE(gauges.maximum.value(FlashGauge::Indicator), 3);
    QCOMPARE(gauges.value.value(FlashGauge::Main), 3);
    QCOMPARE(gauges.value.value(FlashGauge::Indicator), 3);

    // cmdCard first, then bridge mode, and automatic mode last.
    QVERIFY(sim.written->indexOf(cardCommand) >= 0);
    QVERIFY(sim.written->indexOf(bridgeMode) > sim.written->indexOf(cardCommand));
    QVERIFY(sim.written->endsWith(autoMode));
    QVERIFY(!sim.link.portHeld());
    // The collector runs its program again and answers requests.
    QVERIFY(!sim.collector.inBootKernel());
    QVERIFY(sim.link.request(7));
}

void TestFirmwareUpdate::cabinetUpdateFailuresEndWithAutomaticMode_data()
{
    QTest::addColumn<CabinetSetup>("setup");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<bool>("busUsed");

    QTest::newRow("a missing indicator image stops before the bus is used")
        << CabinetSetup::MissingIndicatorImage
        << QStringList{"Считывание прошивки...", "fwimg.main", "Считывание прошивки...", "fwimg.ind",
                       "Ошибка открытия файла"}
        << false;
    QTest::newRow("a damaged main image stops before the indicator is even read")
        << CabinetSetup::DamagedMainImage << QStringList{"Считывание прошивки...", "fwimg.main", "Файл поврежден"}
        << false;
    QStringList refused = cabinetLoaded;
    refused << "Запись программы индикатора.";
    for (int i = 0; i < 8; ++i)
        refused << "Ошибка записи блока 0x0000/42";
    QTest::newRow("a cabinet that refuses every block gives up after eight attempts")
        << CabinetSetup::EveryBlockRefused << refused << true;
}

void TestFirmwareUpdate::cabinetUpdateFailuresEndWithAutomaticMode()
{
    QFETCH(CabinetSetup, setup);
    QFETCH(QStringList, log);
    QFETCH(bool, busUsed);

    FirmwareSim sim;
    QVERIFY(sim.waitOpen());
    QVERIFY(sim.writeImages());
    switch (setup) {
    case CabinetSetup::MissingIndicatorImage:
        QVERIFY(QFile::remove(QStringLiteral("fwimg.ind")));
        break;
    case CabinetSetup::DamagedMainImage:
        damageBlockByte(QStringLiteral("fwimg.main"));
        break;
    case CabinetSetup::EveryBlockRefused:
        sim.cabinet5->faults.errorAlways = 0x42;
        break;
    }
    auto update = procedures(sim, sim.noConverter());

    QCOMPARE(update->updateCabinets(5), FirmwareUpdate::Outcome::Failed);

    QCOMPARE(sim.ui.log, log);
    QCOMPARE(sim.cabinet5->bootRequests() > 0, busUsed);
    if (setup == CabinetSetup::EveryBlockRefused) {
        QCOMPARE(sim.cabinet5->receptions(), 8);
        QCOMPARE(sim.cabinet5->bootRequests(), 4 * 9);   // the first entry and one after each refusal
        QCOMPARE(sim.cabinet5->starts(), 0);
    }
    QVERIFY(sim.written->startsWith(bridgeMode));
    QVERIFY(sim.written->endsWith(autoMode));
    QVERIFY(!sim.link.portHeld());
    QTRY_COMPARE(sim.collector.mode(), Collector::Mode::Auto);
}

void TestFirmwareUpdate::collectorUpdateFailuresEndWithAutomaticMode_data()
{
    QTest::addColumn<CollectorSetup>("setup");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<FirmwareUpdate::Outcome>("outcome");

    using Outcome = FirmwareUpdate::Outcome;
    QTest::newRow("a missing image file")
        << CollectorSetup::MissingImage << QStringList{"Считывание прошивки...", "fwimg.col", "Ошибка открытия файла"}
        << Outcome::Failed;
    QTest::newRow("a kernel that never answers the synchronisation")
        << CollectorSetup::KernelNeverAnswers
        << collectorLoaded + QStringList{"Устройство не перешло в boot режим.",
                                         "Отключите питание устройтсва и попробуйте перешить ПО еще раз."}
        << Outcome::NotInStep;
    QTest::newRow("a configuration request without an answer")
        << CollectorSetup::ConfigurationUnanswered
        << collectorLoaded + QStringList{"Готово.", "Запрос конфигурации...", "Тайм аут при общении!"} << Outcome::Failed;
    QTest::newRow("a processor type the table does not know")
        << CollectorSetup::UnknownProcessor
        << collectorLoaded + QStringList{"Готово.", "Запрос конфигурации...", "..bootloader ver 0x01, rev 0x02",
                                         "..device id 0x00C1, proc 0002, rev 0003", "Устройство не найдено."}
        << Outcome::Failed;
    QTest::newRow("a kernel that refuses every block")
        << CollectorSetup::EveryBlockRefused
        << collectorLoaded + collectorIdentified + QStringList{"Запись.", "Ошибка записи блока 0x0000"}
        << Outcome::Failed;
    QTest::newRow("a kernel whose acknowledgements never arrive")
        << CollectorSetup::EveryAcknowledgementLost
        << collectorLoaded + collectorIdentified
               + QStringList{"Запись.", "Ошибка записи блока 0x0000", "Тайм аут при общении!"}
        << Outcome::Failed;
}

void TestFirmwareUpdate::collectorUpdateFailuresEndWithAutomaticMode()
{
    QFETCH(CollectorSetup, setup);
    QFETCH(QStringList, log);
    QFETCH(FirmwareUpdate::Outcome, outcome);

    FirmwareSim sim;
    QVERIFY(sim.waitOpen());
    QVERIFY(sim.writeImages());
    CollectorKernel &kernel = sim.collectorKernel();
    switch (setup) {
    case CollectorSetup::MissingImage:
        QVERIFY(QFile::remove(QStringLiteral("fwimg.col")));
        break;
    case CollectorSetup::KernelNeverAnswers:
        kernel.faults.mute = true;
        break;
    case CollectorSetup::ConfigurationUnanswered:
        kernel.faults.configUnanswered = true;
        break;
    case CollectorSetup::UnknownProcessor:
        kernel.bootConfig = {0x01, 0x02, 0xC1, 0x00, 0x00, 0x00, 0x03, 0x20, 0x00, 0x00};
        break;
    case CollectorSetup::EveryBlockRefused:
        kernel.faults.refuseEvery = true;
        break;
    case CollectorSetup::EveryAcknowledgementLost:
        kernel.faults.loseEveryAck = true;
        break;
    }
    auto update = procedures(sim, sim.noConverter());

    QCOMPARE(update->updateCollector(), outcome);

    QCOMPARE(sim.ui.log, log);
    if (setup == CollectorSetup::EveryBlockRefused || setup == CollectorSetup::EveryAcknowledgementLost)
        QCOMPARE(kernel.receptions(), 11);   // sent once and repeated ten times
    QCOMPARE(kernel.starts(), 0);
    QVERIFY(sim.written->indexOf(bridgeMode) > sim.written->indexOf(cardCommand));
    QVERIFY(sim.written->endsWith(autoMode));
    QVERIFY(!sim.link.portHeld());
}

void TestFirmwareUpdate::aStrayErrorByteCostsOneMoreBootEntryAndTheBlockGoesAgain()
{
    FirmwareSim sim;
    QVERIFY(sim.waitOpen());
    QVERIFY(sim.writeImages());
    // Receptions: indicator 0 and 1, then main-unit block 0 and 1.
    sim.cabinet5->faults.errorAt = {{3, 0x5A}};
    auto update = procedures(sim, sim.noConverter());

    QCOMPARE(update->updateCabinets(5), FirmwareUpdate::Outcome::Written);

    const QStringList expected = cabinetLoaded
                                 + QStringList{"Запись программы индикатора..", "Запись программы основного блока..",
                                               "Ошибка записи блока 0x0001/5A.", "Запуск программ...",
                                               "Flash память успешно записана.", "  Дождитесь перезапуска программы."};
    QCOMPARE(sim.ui.log, expected);
    QCOMPARE(sim.cabinet5->bootRequests(), 8);
    QCOMPARE(sim.cabinet5->receptions(), 6);
    QString difference;
    QVERIFY2(memoryHolds(sim.cabinet5->memory(CabinetKernel::Unit::Main), mainProgram(), &difference),
             qPrintable(difference));
    QCOMPARE(sim.cabinet5->blocks(CabinetKernel::Unit::Main), imageBlocks("fwimg.main"));
}

void TestFirmwareUpdate::aLostAcknowledgementIsRecoveredBySynchronisingAgain()
{
    FirmwareSim sim;
    QVERIFY(sim.waitOpen());
    QVERIFY(sim.writeImages());
    sim.collectorKernel().faults.lostAcks = {1};
    auto update = procedures(sim, sim.noConverter());

    QCOMPARE(update->updateCollector(), FirmwareUpdate::Outcome::Written);

    QCOMPARE(sim.ui.log, collectorLoaded + collectorIdentified + collectorSuccessTail);
    QVERIFY(sim.collectorKernel().receptions() > 3);
    QString difference;
    QVERIFY2(memoryHolds(sim.collectorKernel().memory(), collectorProgram(), &difference), qPrintable(difference));
}

void TestFirmwareUpdate::losingTheLineDuringTheIndicatorBlocksSkipsToStartingThePrograms_data()
{
    QTest::addColumn<bool>("linkCloses");
    QTest::newRow("the cable is pulled") << false;
    QTest::newRow("the link closes its port and cannot reopen it") << true;
}

void TestFirmwareUpdate::losingTheLineDuringTheIndicatorBlocksSkipsToStartingThePrograms()
{
    QFETCH(bool, linkCloses);

    FirmwareSim sim;
    QVERIFY(sim.waitOpen());
    QVERIFY(sim.writeImages());
    sim.cabinet5->onBlock = [&](CabinetKernel::Unit unit, int reception) {
        if (unit != CabinetKernel::Unit::Indicator || reception != 1)
            return;
        sim.collector.setDisconnected(true);
        if (linkCloses)
            sim.link.requestReopen();
    };
    auto update = procedures(sim, sim.noConverter());

    QCOMPARE(update->updateCabinets(5), FirmwareUpdate::Outcome::Interrupted);

    const QStringList expected = cabinetLoaded
                                 + QStringList{"Запись программы индикатора..", "Запуск программ...",
                                               "Запись прервана: связь с устройством потеряна.",
                                               "  Перешейте ПО еще раз."};
    QCOMPARE(sim.ui.log, expected);
    QCOMPARE(sim.cabinet5->receptions(), 2);
    QVERIFY(sim.cabinet5->blocks(CabinetKernel::Unit::Main).isEmpty());
    QVERIFY(!sim.link.portHeld());
    // With the port still there the program tried to start the programs and
    // to return the collector to automatic mode; the line lost both.
    if (!linkCloses) {
        QVERIFY(sim.written->contains(QByteArray::fromHex("808080808080808097C0808080808080808092C0")));
        QVERIFY(sim.written->endsWith(autoMode));
    }
}

void TestFirmwareUpdate::noSecondUpdateStartsWhileOneRuns()
{
    FirmwareSim sim;
    QVERIFY(sim.waitOpen());
    QVERIFY(sim.writeImages());
    auto update = procedures(sim, sim.noConverter());
    QList<bool> running;
    update->runningChanged = [&](bool on) { running << on; };
    QList<FirmwareUpdate::Outcome> nested;
    sim.cabinet5->onBlock = [&](CabinetKernel::Unit, int reception) {
        if (reception == 0)
            nested << update->updateCabinets(63) << update->updateCollector();
    };

    QCOMPARE(update->updateCabinets(5), FirmwareUpdate::Outcome::Written);

    const QList<FirmwareUpdate::Outcome> refused(2, FirmwareUpdate::Outcome::AlreadyRunning);
    QCOMPARE(nested, refused);
    QCOMPARE(running, QList<bool>({true, false}));
    QCOMPARE(sim.ui.log, cabinetSuccessLog.mid(2));
    QCOMPARE(sim.written->count(bridgeMode), 1);
}

void TestFirmwareUpdate::anExceptionInsideAnUpdateStillRunsTheEndStep()
{
    FirmwareSim sim;
    QVERIFY(sim.waitOpen());
    QVERIFY(sim.writeImages());
    auto update = procedures(sim, sim.noConverter());
    bool running = false;
    update->runningChanged = [&](bool on) { running = on; };
    update->setGaugeValue = [](FlashGauge, int) { throw std::runtime_error("the window went away"); };

    QVERIFY_THROWS_EXCEPTION(std::runtime_error, update->updateCabinets(5));

    QVERIFY(!update->running());
    QVERIFY(!running);
    QVERIFY(!sim.link.portHeld());
    QVERIFY(sim.written->endsWith(autoMode));
    QTRY_COMPARE(sim.collector.mode(), Collector::Mode::Auto);
}

void TestFirmwareUpdate::aChattyCollectorDoesNotDisturbTheCabinetUpdate()
{
    CollectorConfig chatty = CollectorConfig::quiet();
    chatty.cabinets = {{5, 0x05}};
    chatty.reportMs = 3;
    chatty.clockMs = 3;
    chatty.statusMs = 3;
    FirmwareSim sim(chatty);
    QVERIFY(sim.waitOpen());
    QVERIFY(sim.writeImages());
    QSignalSpy reports(&sim.link, &Link::boxLine);
    QVERIFY(reports.wait(5000));
    auto update = procedures(sim, sim.noConverter());

    QCOMPARE(update->updateCabinets(63), FirmwareUpdate::Outcome::Written);

    QCOMPARE(sim.ui.log, cabinetSuccessLog.mid(2));
    // Back in automatic mode the collector reports again, and the link reads it.
    reports.clear();
    QVERIFY(reports.wait(5000));
}

QTEST_MAIN(TestFirmwareUpdate)
#include "test_firmware_update.moc"
