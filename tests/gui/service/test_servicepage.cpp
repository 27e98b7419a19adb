#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "integration/service_sim/sensorsim.h"
#include "service/servicepage.h"

// The service page against the simulated collector and its sensors.
class TestServicePage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void thePageShowsItsControlsAsAtStart();
    void theAddressingBoxChoosesTheAddressWord();
    void aReadFillsTheListWithWhatTheSensorKeeps();
    void aReadWithABadChecksumWarnsAndFillsTheListAnyway();
    void aSilentSensorLeavesTheListUnchanged();
    void aDeclinedWriteSendsNothingAtAll();
    void typedValuesReachTheSensor_data();
    void typedValuesReachTheSensor();
    void savingAndLoadingTheFileRestoresRowsZeroToTwelve();
    void framesFillTheMeasurementTab();
    void theDisplayStopsWhileRecordingGoesOn();
    void searchClearsTheTerminalAndPollDoesNot();
    void theTerminalKeepsOnlyTheLatestLines();
    void thePortButtonAsksForThePortDialog();

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<SensorSim> sim;
    std::unique_ptr<ServicePage> page;

    void start()
    {
        QVERIFY(sim->waitOpen());
        page = std::make_unique<ServicePage>(sim->link, sim->ui);
        page->setSensorTimings(SensorSim::sensorTimings());
        page->setParameterFilePath(dir->filePath("dat.txt"));
        page->show();
        sim->settle();
    }
};

namespace {

QByteArray frameBytes(const char *dataHex)
{
    return QByteArray::fromHex("AA57") + QByteArray::fromHex(dataHex) + "\r\n";
}

QStringList texts(const ServicePage &p)
{
    return {p.extt->text(), p.Edit1->text(), p.hum->text(), p.Edit2->text(), p.Edit4->text(), p.intt->text(),
            p.Edit3->text()};
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

void TestServicePage::init()
{
    dir = std::make_unique<QTemporaryDir>();
    sim = std::make_unique<SensorSim>(dir->filePath("incubator.bin"));
}

void TestServicePage::cleanup()
{
    page.reset();
    sim.reset();
}

void TestServicePage::thePageShowsItsControlsAsAtStart()
{
    start();
    const QList<std::pair<const char *, QString>> captions = {
        {"readD", "Считатать"}, {"writeD", "Записать"}, {"Button12", "В файл"}, {"Button5", "Из файла"},
        {"Button14", "Порт"}, {"Button4", "0"}, {"mes", "Включить режим измерений"},
        {"Button7", "Выключить режим измерений"}, {"Button1", "Сброс датчика"}, {"Button8", "Поиск..."},
        {"Button9", "Опрос..."}};
    for (const auto &[name, caption] : captions) {
        auto *b = page->findChild<QPushButton *>(name);
        QVERIFY2(b, name);
        QCOMPARE(b->text(), caption);
    }
    QCOMPARE(page->CheckBox1->text(), "Использовать адресацию");
    QVERIFY(!page->CheckBox1->isChecked());
    QCOMPARE(page->wr->text(), "Записывать в файл");
    QCOMPARE(page->num->value(), 63);
    QCOMPARE(page->num->minimum(), 1);
    QCOMPARE(page->num->maximum(), 63);
    QVERIFY(!page->num->isEnabled());
    QCOMPARE(page->tabs->tabText(0), "Измерения");
    QCOMPARE(page->v->horizontalHeaderItem(0)->text(), "Параметр");
    QCOMPARE(page->v->horizontalHeaderItem(1)->text(), "Значение");
    QCOMPARE(page->v->rowCount(), 16);
    QCOMPARE(page->v->item(13, 0)->text(), "Дельта термостат");
    QCOMPARE(page->rows(), QStringList({"0", "0", "0", "0", "0", "0", "0", "8", "0", "0", "0", "0", "0", "0", "0", "0"}));
    QVERIFY(page->findChild<QWidget *>("firmwareSlot"));
    QCOMPARE(page->Terminal->objectName(), "Terminal");
}

void TestServicePage::theAddressingBoxChoosesTheAddressWord()
{
    sim->addSensor(7, sampleRecord(7));
    start();

    page->readD->click();
    QVERIFY(sim->traffic().contains("bus 383"));

    page->CheckBox1->click();
    QVERIFY(page->num->isEnabled());
    QCOMPARE(page->num->value(), 1);
    page->num->setValue(7);
    sim->settle();
    page->readD->click();
    QVERIFY(sim->traffic().contains("bus 327"));
    QVERIFY(!sim->traffic().contains("bus 383"));
    QCOMPARE(page->rows().first(), "7");

    page->CheckBox1->click();
    QCOMPARE(page->num->value(), 63);
    QVERIFY(!page->num->isEnabled());
    page->CheckBox1->click();
    QCOMPARE(page->num->value(), 7);
}

void TestServicePage::aReadFillsTheListWithWhatTheSensorKeeps()
{
    auto sensor = sim->addSensor(5, sampleRecord(5));
    start();

    page->readD->click();

    QCOMPARE(page->rows(), sampleRows(5));
    QVERIFY(sim->ui.messages.isEmpty());
    // What the list shows is what the sensor keeps.
    QStringList kept = initialSensorRows();
    showRecord(SensorRecord::fromBytes(sensor->record()), kept);
    QCOMPARE(page->rows(), kept);
    QVERIFY(page->readD->isEnabled());
}

void TestServicePage::aReadWithABadChecksumWarnsAndFillsTheListAnyway()
{
    auto sensor = sim->addSensor(5, sampleRecord(5));
    sensor->fault = SimSensor::Fault::BadChecksum;
    start();

    page->readD->click();

    QCOMPARE(sim->ui.messages, QStringList{"Ошибка CRC!"});
    QCOMPARE(page->rows(), sampleRows(5));
}

void TestServicePage::aSilentSensorLeavesTheListUnchanged()
{
    auto sensor = sim->addSensor(5, sampleRecord(5));
    sensor->fault = SimSensor::Fault::Silent;
    start();
    QStringList before = page->rows();
    before[3] = "typed";
    page->setRows(before);

    page->readD->click();

    QCOMPARE(sim->ui.messages, QStringList{"Устройство не отвечает!"});
    QCOMPARE(page->rows(), before);
}

void TestServicePage::aDeclinedWriteSendsNothingAtAll()
{
    sim->addSensor(5, sampleRecord(5));
    start();
    QStringList rows = sampleRows(5);
    page->setRows(rows);
    sim->ui.answer = false;

    page->writeD->click();
    QTest::qWait(10);

    QCOMPARE(sim->ui.questions, QStringList{"Номер датчика не совпадает!\nТочно записать?"});
    QVERIFY(sim->written->isEmpty());
    QVERIFY(sim->collector.log().isEmpty());
}

void TestServicePage::typedValuesReachTheSensor_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("with a point") << "1.5";
    QTest::newRow("with a comma") << "1,5";
}

void TestServicePage::typedValuesReachTheSensor()
{
    QFETCH(QString, typed);
    auto sensor = sim->addSensor(33, sampleRecord(33));
    start();
    page->CheckBox1->click();
    page->num->setValue(33);
    QStringList rows = sampleRows(33);
    rows[4] = typed;
    page->setRows(rows);

    page->writeD->click();

    QCOMPARE(sim->ui.messages, QStringList{"Данные записаны. CRC - OK."});
    QCOMPARE(SensorRecord::fromBytes(sensor->record()).value(4), 1.5f);
    // Read back, the list shows the record the sensor stores.
    page->readD->click();
    rows[4] = "1,500000e+00";
    QCOMPARE(page->rows(), rows);
}

void TestServicePage::savingAndLoadingTheFileRestoresRowsZeroToTwelve()
{
    start();
    const QStringList saved = sampleRows(12);
    page->setRows(saved);
    page->Button12->click();
    QVERIFY(QFile::exists(page->parameterFilePath()));

    QStringList changed = saved;
    for (QString &r : changed)
        r = "5";
    page->setRows(changed);
    page->Button5->click();

    QCOMPARE(page->rows().mid(0, 13), saved.mid(0, 13));
    QCOMPARE(page->rows().mid(13), QStringList(3, "5"));
    QVERIFY(sim->ui.messages.isEmpty());
}

void TestServicePage::framesFillTheMeasurementTab()
{
    start();
    sim->collector.sendBytes(frameBytes("42100000 00000100 C0200000"));
    QTRY_COMPARE(page->extt->text(), "  36.000");
    QCOMPARE(texts(*page), QStringList({"  36.000", "42 10 00 00", "256", "00 00 01 00", "2", "  -2.500", "C0 20 00 00"}));

    // "0" restarts the average.
    for (int i = 0; i < 99; ++i)
        sim->collector.sendBytes(frameBytes("42100000 00000100 C0200000"));
    QTRY_COMPARE(page->Edit4->text(), "256");
    page->Button4->click();
    sim->collector.sendBytes(frameBytes("42100000 00000100 C0200000"));
    QTRY_COMPARE(page->Edit4->text(), "2");
    for (int i = 0; i < 99; ++i)
        sim->collector.sendBytes(frameBytes("42100000 00000100 C0200000"));
    QTRY_COMPARE(page->Edit4->text(), "256");
}

void TestServicePage::theDisplayStopsWhileRecordingGoesOn()
{
    auto sensor = sim->addSensor(2, sampleRecord(2));
    start();
    page->wr->click();
    QVERIFY(page->wr->isChecked());
    sim->collector.sendBytes(frameBytes("42100000 00000100 42100000"));
    QTRY_COMPARE(page->hum->text(), "256");
    const QStringList shown = texts(*page);

    page->Button7->click();
    sim->collector.sendBytes(frameBytes("43000000 00000200 43000000"));
    sim->collector.sendBytes(frameBytes("43800000 00000300 43800000"));
    const QString log = dir->filePath("incubator.bin");
    // Every frame's twelve data bytes, displayed or not.
    QTRY_COMPARE(fileBytes(log).toHex(), QByteArray("421000000000010042100000"
                                                    "430000000000020043000000"
                                                    "438000000000030043800000"));
    QCOMPARE(texts(*page), shown);

    page->wr->click();
    page->mes->click();
    sim->collector.sendBytes(frameBytes("43000000 00000200 43000000"));
    QTRY_COMPARE(page->hum->text(), "512");
    QTest::qWait(10);
    QCOMPARE(fileBytes(log).size(), 36);
}

void TestServicePage::searchClearsTheTerminalAndPollDoesNot()
{
    start();
    sim->collector.sendLine("first line");
    QTRY_COMPARE(page->Terminal->toPlainText(), "first line");

    page->Button9->click();
    QCOMPARE(*sim->written, QByteArray::fromHex("84E1"));
    QCOMPARE(page->Terminal->toPlainText(), "first line");

    page->Button8->click();
    QCOMPARE(page->Terminal->toPlainText(), "");
    QCOMPARE(*sim->written, QByteArray::fromHex("84E183E1"));

    sim->collector.sendLine("an answer");
    QTRY_COMPARE(page->Terminal->toPlainText(), "an answer");
}

void TestServicePage::theTerminalKeepsOnlyTheLatestLines()
{
    start();
    QByteArray lines;
    for (int i = 0; i < ServicePage::terminalLines + 200; ++i)
        lines += "line " + QByteArray::number(i) + "\r\n";
    sim->collector.sendBytes(lines);
    const QString last = QStringLiteral("line %1").arg(ServicePage::terminalLines + 199);
    QTRY_VERIFY(page->Terminal->toPlainText().endsWith(last));
    QCOMPARE(page->Terminal->blockCount(), ServicePage::terminalLines);
    QVERIFY(page->Terminal->toPlainText().startsWith("line 200\n"));
}

void TestServicePage::thePortButtonAsksForThePortDialog()
{
    start();
    QSignalSpy asked(page.get(), &ServicePage::portRequested);
    page->Button14->click();
    QCOMPARE(asked.size(), 1);
    QVERIFY(sim->written->isEmpty());
}

QTEST_MAIN(TestServicePage)
#include "test_servicepage.moc"
