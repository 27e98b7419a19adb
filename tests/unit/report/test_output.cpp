#include <QtTest>

#include "report/dayreport.h"
#include "report/summarycsv.h"
#include "report/summarymodel.h"
#include "report/summarypages.h"
#include "report/summarytable.h"
#include "report/tolerances.h"
#include "summaryfixture.h"

#include <QGuiApplication>
#include <QSettings>

using report::DayReport;
using report::Tolerances;

// What the summary becomes: CSV lines, printed pages, table cells, and the
// tolerances kept in the settings.
class TestOutput : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void theCsvHasAHeaderAndOneLinePerCabinet();
    void csvNumbersHaveADecimalPointAndOneDecimal();
    void aCabinetWithoutDataHasEmptyMeasuredFields();
    void anUnwritableCsvReportsWhyAndLeavesNoFile();
    void thePdfIsOneLandscapeA4PageForSixtyThreeCabinets();
    void aFailedPdfKeepsTheOldFile();
    void tableCellsOutOfToleranceAndWithAlarmsAreMarked();
    void aRoundedNegativeZeroHasNoSign_data();
    void aRoundedNegativeZeroHasNoSign();
    void tolerancesAreSavedWithTheProgramsSettings();
    void unusableSavedTolerancesFallBackToTheDefaults_data();
    void unusableSavedTolerancesFallBackToTheDefaults();
    void aReportIsLoadedOnlyFromAFileNamedByItsDate();

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_settings;
};

// Cabinet 3: 60 slots from 00:00:00, of which 6 slots 0.4 °C too warm, 9
// slots 0.4 °C too cold, the door open twice (12 slots) and the heater
// alarm once (3 slots). Cabinet 7: only a record without set points.
static QByteArray twoCabinets()
{
    DayFileBuilder f;
    for (int slot = 0; slot < 60; ++slot) {
        TestBlock b = steady(3);
        if (slot >= 10 && slot < 16)
            b.tSum = 37.9f;
        if (slot >= 21 && slot < 30)
            b.tSum = 37.1f;
        if ((slot >= 40 && slot < 46) || (slot >= 50 && slot < 56))
            b.states = 0x0001;
        if (slot < 20)
            b.states |= 0x0040;
        if (slot >= 30 && slot < 33)
            b.alarms = 0x0040;
        TestBlock empty = steady(7);
        empty.tSet = 0;
        f.record(timeOfSlot(slot), slot == 0 ? QList<TestBlock>{b, empty} : QList<TestBlock>{b});
    }
    return f.bytes;
}

static DayReport reportOf(const QByteArray &image, const Tolerances &t = {})
{
    StatFile file;
    file.setImage(image);
    return report::makeReport(file, QStringLiteral("09-03-05.INC"), QStringLiteral("5.03.2009 г., четверг"), t);
}

static QMap<QString, QString> csvRow(const QByteArray &csv, int cabinet)
{
    const QList<QByteArray> lines = csv.split('\n');
    const QList<QByteArray> names = lines.first().split(',');
    for (const QByteArray &line : lines.mid(1)) {
        const QList<QByteArray> fields = line.split(',');
        if (fields.first() != QByteArray::number(cabinet))
            continue;
        QMap<QString, QString> row;
        for (int i = 0; i < names.size() && i < fields.size(); ++i)
            row.insert(QString::fromLatin1(names[i]), QString::fromLatin1(fields[i]));
        return row;
    }
    return {};
}

void TestOutput::initTestCase()
{
    QVERIFY(m_settings.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
}

void TestOutput::init()
{
    QSettings(QStringLiteral("KIVO"), QStringLiteral("Incubator")).clear();
}

void TestOutput::theCsvHasAHeaderAndOneLinePerCabinet()
{
    const QByteArray csv = report::csv(reportOf(twoCabinets()));
    QVERIFY(csv.endsWith('\n'));
    const QList<QByteArray> lines = csv.trimmed().split('\n');
    QCOMPARE(lines.size(), 3);
    const QList<QByteArray> header = lines.first().split(',');
    for (const char *name : {"cabinet", "data_minutes", "t_above_minutes", "t_below_minutes", "door_openings",
                             "door_minutes", "heater_percent", "h_above_minutes", "alarm_heater_minutes",
                             "alarm_heater_episodes", "turning_movements"})
        QVERIFY2(header.contains(name), name);
    for (const QByteArray &line : lines)
        QCOMPARE(line.count(','), header.size() - 1);
    QVERIFY(lines[1].startsWith("3,"));
    QVERIFY(lines[2].startsWith("7,"));
}

void TestOutput::csvNumbersHaveADecimalPointAndOneDecimal()
{
    const QMap<QString, QString> row = csvRow(report::csv(reportOf(twoCabinets())), 3);
    QCOMPARE(row.value("cabinet"), "3");
    QCOMPARE(row.value("data_minutes"), "10.0");
    QCOMPARE(row.value("no_data_minutes"), "1430.0");
    QCOMPARE(row.value("t_above_minutes"), "1.0");
    QCOMPARE(row.value("t_below_minutes"), "1.5");
    QCOMPARE(row.value("t_min"), "37.1");
    QCOMPARE(row.value("t_max"), "37.9");
    QCOMPARE(row.value("t_mean_deviation"), "0.0");   // (6 x 0.4 - 9 x 0.4) / 60 = -0.06
    QCOMPARE(row.value("h_above_minutes"), "0.0");
    QCOMPARE(row.value("door_openings"), "2");
    QCOMPARE(row.value("door_minutes"), "2.0");
    QCOMPARE(row.value("heater_percent"), "33.3");
    QCOMPARE(row.value("cooler_percent"), "0.0");
    QCOMPARE(row.value("alarm_heater_minutes"), "0.5");
    QCOMPARE(row.value("alarm_heater_episodes"), "1");
    QCOMPARE(row.value("alarm_sensor_minutes"), "0.0");
    QCOMPARE(row.value("first_out_of_tolerance"), "00:01:40");
}

void TestOutput::aCabinetWithoutDataHasEmptyMeasuredFields()
{
    const QMap<QString, QString> row = csvRow(report::csv(reportOf(twoCabinets())), 7);
    QCOMPARE(row.value("data_minutes"), "0.0");
    QCOMPARE(row.value("no_data_minutes"), "1440.0");
    QVERIFY(row.contains("t_mean"));
    QCOMPARE(row.value("t_mean"), QString());
    QCOMPARE(row.value("heater_percent"), QString());
    QCOMPARE(row.value("t_above_minutes"), "0.0");
    QCOMPARE(row.value("first_out_of_tolerance"), QString());
}

void TestOutput::anUnwritableCsvReportsWhyAndLeavesNoFile()
{
    const QString out = m_dir.filePath(QStringLiteral("missing-folder/summary.csv"));
    QString message;
    QVERIFY(!report::writeCsv(reportOf(twoCabinets()), out, &message));
    QVERIFY2(message.contains(out), qPrintable(message));
    QVERIFY(!QFile::exists(out));

    const QString good = m_dir.filePath(QStringLiteral("summary.csv"));
    QVERIFY(report::writeCsv(reportOf(twoCabinets()), good, &message));
    QFile f(good);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), report::csv(reportOf(twoCabinets())));
}

void TestOutput::thePdfIsOneLandscapeA4PageForSixtyThreeCabinets()
{
    statgen::Options o;
    o.date = QDate(2009, 3, 5);
    QVERIFY(statgen::parseCabinets(QStringLiteral("1-63"), &o.cabinets, nullptr));
    const QString out = m_dir.filePath(QStringLiteral("day.pdf"));
    QString message;
    QVERIFY2(report::writePdf(reportOf(statgen::generateDay(o)), out, &message), qPrintable(message));
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    QVERIFY(pdf.startsWith("%PDF-"));
    QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 1);
    // A4 landscape is 842 x 595 points.
    const QRegularExpression landscapeA4(QStringLiteral("/MediaBox \\[0 0 842(\\.0+)? 595(\\.0+)?\\]"));
    QVERIFY(landscapeA4.match(QString::fromLatin1(pdf)).hasMatch());
}

void TestOutput::aFailedPdfKeepsTheOldFile()
{
    const QString out = m_dir.filePath(QStringLiteral("kept.pdf"));
    {
        QFile f(out);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    QString message;
    QVERIFY(!report::writePdf(reportOf(twoCabinets()), m_dir.filePath(QStringLiteral("no/such/dir.pdf")), &message));
    QVERIFY(!message.isEmpty());
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("old"));
}

void TestOutput::tableCellsOutOfToleranceAndWithAlarmsAreMarked()
{
    SummaryModel model;
    model.setReport(reportOf(twoCabinets()));
    QCOMPARE(model.rowCount(), 2);
    auto columnOf = [&](const QString &title) {
        for (int k = 0; k < model.columnCount(); ++k)
            if (model.headerData(k, Qt::Horizontal).toString() == title)
                return k;
        return -1;
    };
    const int above = columnOf(QStringLiteral("Т выше,\nмин"));
    const int humidityAbove = columnOf(QStringLiteral("Вл. выше,\nмин"));
    const int heaterAlarm = columnOf(QStringLiteral("Авар.\nнагр."));
    const int sensorAlarm = columnOf(QStringLiteral("Авар.\nдатчик"));
    QVERIFY(above > 0 && humidityAbove > 0 && heaterAlarm > 0 && sensorAlarm > 0);

    auto mark = [&](int row, int column) {
        return report::Mark(model.index(row, column).data(SummaryModel::MarkRole).toInt());
    };
    QCOMPARE(mark(0, above), report::Mark::OutOfTolerance);
    QVERIFY(model.index(0, above).data(Qt::BackgroundRole).value<QColor>().isValid());
    QCOMPARE(model.index(0, above).data().toString(), "1.0");
    QCOMPARE(mark(0, humidityAbove), report::Mark::None);
    QVERIFY(!model.index(0, humidityAbove).data(Qt::BackgroundRole).isValid());
    QCOMPARE(mark(0, heaterAlarm), report::Mark::Alarm);
    QCOMPARE(model.index(0, heaterAlarm).data().toString(), "0.5 (1)");
    QCOMPARE(mark(0, sensorAlarm), report::Mark::None);
    QCOMPARE(model.index(0, sensorAlarm).data().toString(), QString());
    QCOMPARE(model.index(0, 0).data(SummaryModel::CabinetRole).toInt(), 3);
    QCOMPARE(model.index(0, 0).data(SummaryModel::FirstOutOfToleranceSlotRole).toInt(), 10);
    QCOMPARE(model.index(1, 0).data(SummaryModel::FirstOutOfToleranceSlotRole).toInt(), -1);
    QCOMPARE(mark(1, above), report::Mark::None);
}

void TestOutput::aRoundedNegativeZeroHasNoSign_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    QTest::newRow("-0.04 with one decimal") << -0.04 << 1 << "0.0";
    QTest::newRow("-0.004 with two decimals") << -0.004 << 2 << "0.00";
    QTest::newRow("-0.05 keeps its sign") << -0.06 << 1 << "-0.1";
    QTest::newRow("a decimal point, never a comma") << 37.25 << 2 << "37.25";
}

void TestOutput::aRoundedNegativeZeroHasNoSign()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QCOMPARE(report::fixed(value, decimals), text);
    QLocale::setDefault(QLocale::c());
}

void TestOutput::tolerancesAreSavedWithTheProgramsSettings()
{
    QCOMPARE(Tolerances::load(), Tolerances());
    QCOMPARE(Tolerances().temperature, 0.3);
    QCOMPARE(Tolerances().humidity, 5.0);
    Tolerances t;
    t.temperature = 0.5;
    t.humidity = 3;
    t.save();
    QCOMPARE(Tolerances::load(), t);
    const QSettings settings(QStringLiteral("KIVO"), QStringLiteral("Incubator"));
    QCOMPARE(settings.value("report/temperatureTolerance").toDouble(), 0.5);
    QCOMPARE(settings.value("report/humidityTolerance").toDouble(), 3.0);
}

void TestOutput::unusableSavedTolerancesFallBackToTheDefaults_data()
{
    QTest::addColumn<QVariant>("temperature");
    QTest::addColumn<QVariant>("humidity");
    QTest::addColumn<double>("t");
    QTest::addColumn<double>("h");
    QTest::newRow("words") << QVariant("abc") << QVariant("много") << 0.3 << 5.0;
    QTest::newRow("zero and negative") << QVariant(0.0) << QVariant(-2.0) << 0.3 << 5.0;
    QTest::newRow("absurdly wide") << QVariant(100.0) << QVariant(1000.0) << 0.3 << 5.0;
    QTest::newRow("one good, one bad") << QVariant(1.0) << QVariant("nan") << 1.0 << 5.0;
    QTest::newRow("a decimal comma is not a number") << QVariant("0,5") << QVariant("7") << 0.3 << 7.0;
}

void TestOutput::unusableSavedTolerancesFallBackToTheDefaults()
{
    QFETCH(QVariant, temperature);
    QFETCH(QVariant, humidity);
    QFETCH(double, t);
    QFETCH(double, h);
    {
        QSettings settings(QStringLiteral("KIVO"), QStringLiteral("Incubator"));
        settings.setValue("report/temperatureTolerance", temperature);
        settings.setValue("report/humidityTolerance", humidity);
    }
    const Tolerances loaded = Tolerances::load();
    QCOMPARE(loaded.temperature, t);
    QCOMPARE(loaded.humidity, h);
}

void TestOutput::aReportIsLoadedOnlyFromAFileNamedByItsDate()
{
    DayFileBuilder f;
    f.record(timeOfSlot(0), {steady(4)});
    const QString good = m_dir.filePath(QStringLiteral("09-03-05.INC"));
    const QString badName = m_dir.filePath(QStringLiteral("day.INC"));
    QVERIFY(f.save(good) && f.save(badName));

    DayReport r;
    QString message;
    QVERIFY(report::loadReport(good, {}, &r, &message));
    QCOMPARE(message, QString());
    QCOMPARE(r.fileName, "09-03-05.INC");
    QCOMPARE(r.dateText, QStringLiteral("5.03.2009 г., четверг"));
    QCOMPARE(r.cabinets.size(), 1);

    QVERIFY(!report::loadReport(badName, {}, &r, &message));
    QVERIFY(message.contains("day.INC"));
    QVERIFY(!report::loadReport(m_dir.filePath(QStringLiteral("09-03-06.INC")), {}, &r, &message));
    QCOMPARE(message, QStringLiteral("Ошибка при открытии файла!"));

    // A record cut short at the end is skipped and reported.
    QFile cut(good);
    QVERIFY(cut.open(QIODevice::Append));
    cut.write(QByteArray("\x00\x00\x02\x04", 4));
    cut.close();
    QVERIFY(report::loadReport(good, {}, &r, &message));
    QCOMPARE(r.damagedRecords, 1);
    QVERIFY(message.contains(QStringLiteral("пропущено записей: 1")));
}

QTEST_MAIN(TestOutput)
#include "test_output.moc"
