#include <QtTest>

#include "dayfilebuilder.h"
#include "viewer/statexport.h"

#include <QImage>

// A cabinet-day as CSV and as a picture.
class TestExport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void csvHasOneLinePerSlotWithAnyValue();
    void failuresLeaveNoOutputBehind_data();
    void failuresLeaveNoOutputBehind();
    void aDamagedFileExportsWithAWarning();
    void thePictureHasTheAskedSizeAndTheChartColours();
    void pictureSizesOutsideTheLimitsAreRefused_data();
    void pictureSizesOutsideTheLimitsAreRefused();

private:
    QTemporaryDir m_dir;
    QString m_day;
};

void TestExport::initTestCase()
{
    QVERIFY(m_dir.isValid());
    DayFileBuilder f;
    f.record(0, 0, 0, {{.cabinet = 3, .tCount = 2, .tSet = 37.5f, .tSum = 74.25f, .hCount = 1, .hSet = 55.0f,
                        .hSum = 54.5f, .alarms = 0x0001, .states = 0x0240},
                       {.cabinet = 4}});
    // Only an alarm word: the values are all "no data".
    f.record(13, 45, 58, {{.cabinet = 3, .tCount = 0, .tSet = 0, .tSum = 0, .hCount = 0, .hSet = 0, .hSum = 0,
                           .alarms = 0x0400, .states = 0}});
    // A reading without set points.
    f.record(23, 59, 50, {{.cabinet = 3, .tCount = 1, .tSet = 0, .tSum = 36.6f, .hCount = 0, .hSet = 100.0f,
                           .hSum = 0, .alarms = 0, .states = 0xABCD}});
    // Nothing at all in this slot: no line.
    f.record(12, 0, 0, {{.cabinet = 3, .tCount = 0, .tSet = 0, .tSum = 0, .hCount = 0, .hSet = 0, .hSum = 0}});
    for (int slot = 1000; slot < 3000; ++slot)
        f.record(quint16((slot / 360) << 11 | (slot % 360 / 6) << 5 | (slot % 6 * 5)),
                 {{.cabinet = 5, .tSum = 37.0f + (slot % 7) * 0.1f, .alarms = quint16(slot % 500 < 20 ? 0x0400 : 0),
                   .states = 0x0008}});
    m_day = m_dir.filePath(QStringLiteral("09-03-05.INC"));
    QVERIFY(f.save(m_day));
}

void TestExport::csvHasOneLinePerSlotWithAnyValue()
{
    const QString out = m_dir.filePath(QStringLiteral("day3.csv"));
    QString message = QStringLiteral("stale");
    QVERIFY(statexport::exportCsv(m_day, 3, out, &message));
    QVERIFY(message.isEmpty());
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("time,t_set,t_meas,h_set,h_meas,alarms,states\n"
                                     "00:00:00,37.500,37.125,55.000,54.500,0x0001,0x0240\n"
                                     "13:45:50,,,,,0x0400,0x0000\n"
                                     "23:59:50,,36.600,,,0x0000,0xABCD\n"));
}

void TestExport::failuresLeaveNoOutputBehind_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("cabinet");
    QTest::addColumn<QString>("messagePart");
    QTest::newRow("a cabinet not in the file") << QStringLiteral("09-03-05.INC") << 7 << QStringLiteral("7");
    QTest::newRow("cabinet 0") << QStringLiteral("09-03-05.INC") << 0 << QStringLiteral("0");
    QTest::newRow("a missing file") << QStringLiteral("09-03-06.INC") << 3 << QStringLiteral("Ошибка при открытии файла!");
    QTest::newRow("a name without a date") << QStringLiteral("day.INC") << 3 << QStringLiteral("day.INC");
}

void TestExport::failuresLeaveNoOutputBehind()
{
    QFETCH(QString, file);
    QFETCH(int, cabinet);
    QFETCH(QString, messagePart);
    if (file == QStringLiteral("day.INC"))
        QVERIFY(QFile::copy(m_day, m_dir.filePath(file)) || QFile::exists(m_dir.filePath(file)));
    const QString csv = m_dir.filePath(QStringLiteral("failed.csv"));
    const QString png = m_dir.filePath(QStringLiteral("failed.png"));
    QString message;
    QVERIFY(!statexport::exportCsv(m_dir.filePath(file), cabinet, csv, &message));
    QVERIFY2(message.contains(messagePart), qPrintable(message));
    message.clear();
    QVERIFY(!statexport::exportPng(m_dir.filePath(file), cabinet, png, QSize(800, 600), &message));
    QVERIFY2(message.contains(messagePart), qPrintable(message));
    QVERIFY(!QFile::exists(csv));
    QVERIFY(!QFile::exists(png));
}

void TestExport::aDamagedFileExportsWithAWarning()
{
    QFile in(m_day);
    QVERIFY(in.open(QIODevice::ReadOnly));
    QByteArray bytes = in.readAll();
    bytes.chop(5);
    const QString damaged = m_dir.filePath(QStringLiteral("09-03-07.INC"));
    QFile out(damaged);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    QString message;
    QVERIFY(statexport::exportCsv(damaged, 3, m_dir.filePath(QStringLiteral("damaged.csv")), &message));
    QCOMPARE(message, QStringLiteral("Файл повреждён: пропущено записей: 1"));
}

void TestExport::thePictureHasTheAskedSizeAndTheChartColours()
{
    const QString out = m_dir.filePath(QStringLiteral("day5.png"));
    QString message;
    QVERIFY2(statexport::exportPng(m_day, 5, out, QSize(1200, 700), &message), qPrintable(message));
    const QImage img(out);
    QCOMPARE(img.size(), QSize(1200, 700));
    QSet<QRgb> colours;
    for (int y = 0; y < img.height(); y += 1)
        for (int x = 0; x < img.width(); x += 1)
            colours.insert(img.pixel(x, y));
    for (QRgb c : {0xFF0000FFu, 0xFF000080u, 0xFFFFD0D0u, 0xFFFF0000u, 0xFFC0C0C0u})
        QVERIFY2(colours.contains(c), qPrintable(QString::number(c, 16)));
}

void TestExport::pictureSizesOutsideTheLimitsAreRefused_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("too narrow") << QSize(100, 900);
    QTest::newRow("too low") << QSize(1600, 100);
    QTest::newRow("too large") << QSize(100000, 900);
    QTest::newRow("negative") << QSize(-5, -5);
}

void TestExport::pictureSizesOutsideTheLimitsAreRefused()
{
    QFETCH(QSize, size);
    const QString out = m_dir.filePath(QStringLiteral("odd.png"));
    QString message;
    QVERIFY(!statexport::exportPng(m_day, 5, out, size, &message));
    QVERIFY(!message.isEmpty());
    QVERIFY(!QFile::exists(out));
}

QTEST_MAIN(TestExport)
#include "test_export.moc"
