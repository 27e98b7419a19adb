#include <QtTest>
#include <QtEndian>

#include "link/crc16.h"
#include "linetext.h"
#include "tasks/taskfilebuilder.h"

namespace {

QString stage(const QString &start, const QString &end, const QString &setpoint = QStringLiteral("37.5°C 55%"))
{
    return QStringLiteral("  01 д. 00 час., \t%1, \t%2 \t%3").arg(setpoint, start, end);
}

// A reader of the file written independently of the builder: checks the
// layout and every row's checksum, gives each key's set points.
struct Table
{
    QList<int> cabinets;
    QList<quint32> keys;
    QList<QByteArray> setpoints;  // per row: 2 bytes per cabinet
};

Table readTable(const QByteArray &file)
{
    Table t;
    const auto *b = reinterpret_cast<const uchar *>(file.constData());
    const int n = b[0];
    for (int k = 0; k < n; ++k)
        t.cabinets << b[1 + k];
    const int rowSize = 2 * n + 6;
    const int m = (file.size() - 1 - n) / (8 + rowSize);
    if (1 + n + (8 + rowSize) * m != file.size())
        qFatal("file size %d does not fit the layout", int(file.size()));
    for (int i = 0; i < m; ++i) {
        const uchar *entry = b + 1 + n + 8 * i;
        const quint32 key = qFromLittleEndian<quint32>(entry);
        const quint32 offset = qFromLittleEndian<quint32>(entry + 4);
        if (offset != quint32(1 + n + 8 * m + rowSize * i))
            qFatal("row %d has the offset %u", i, offset);
        const uchar *row = b + offset;
        if (qFromLittleEndian<quint32>(row) != key)
            qFatal("row %d does not repeat its key", i);
        if (qFromLittleEndian<quint16>(row + rowSize - 2) != crc16(row, rowSize - 2))
            qFatal("row %d has a wrong checksum", i);
        t.keys << key;
        t.setpoints << QByteArray(reinterpret_cast<const char *>(row + 4), 2 * n);
    }
    return t;
}

QByteArray build(const QList<CabinetTaskSource> &cabinets)
{
    const auto file = buildTaskFile(cabinets);
    if (!file)
        qFatal("the builder refused the cabinets");
    return *file;
}

}  // namespace

class TestTaskFile : public QObject
{
    Q_OBJECT
private slots:
    void theHourKeyPacksYearMonthDayAndHour();
    void temperatureCodes_data();
    void temperatureCodes();
    void noCabinetsGiveThe29ByteFile();
    void oneStageGivesThe66ByteFileByteForByte();
    void consecutiveStagesShareTheirBoundaryKey();
    void keysSortAcrossYearsAndTheLastBoundStaysLast();
    void cabinetsEndingAtTheSameHourAddOneKey();
    void anEmptyStageAddsOneKeyAndCoversNoRow();
    void theLaterLineWinsWhereProfilesOverlap();
    void aTaskThatCouldNotBeReadKeepsItsColumnEmpty();
    void stagesWithoutARealDateAreLeftOut();
    void cabinetsThatCannotBeWrittenAreRefused();
};

void TestTaskFile::theHourKeyPacksYearMonthDayAndHour()
{
    QCOMPARE(HourKey(2008, 7, 11, 10), quint32(0x08070B0A));
    QCOMPARE(HourKey(2008, 7, 11, 10), quint32(134679306));
    QCOMPARE(HourKey(2099, 12, 31, 23), quint32(0x630C1F17));
    QVERIFY(HourKey(2099, 12, 31, 23) < LastHourKey);
}

void TestTaskFile::temperatureCodes_data()
{
    QTest::addColumn<float>("temperature");
    QTest::addColumn<int>("code");
    QTest::newRow("32.0 gives 1") << 32.0f << 1;
    QTest::newRow("37.5 gives 56") << 37.5f << 56;
    QTest::newRow("37.6 gives 57") << 37.6f << 57;
    QTest::newRow("38.0 gives 61") << 38.0f << 61;
    QTest::newRow("36.65 rounds up") << 36.65f << 48;
    QTest::newRow("a hand-edited 20.0 stays 0") << 20.0f << 0;
    QTest::newRow("a hand-edited 100.0 stays 255") << 100.0f << 255;
    QTest::newRow("nan gives 0") << std::numeric_limits<float>::quiet_NaN() << 0;
}

void TestTaskFile::temperatureCodes()
{
    QFETCH(float, temperature);
    QFETCH(int, code);
    QCOMPARE(int(temperatureCode(temperature)), code);
}

void TestTaskFile::noCabinetsGiveThe29ByteFile()
{
    QCOMPARE(build({}).toHex(' '),
             QByteArray("00 00 00 00 00 11 00 00 00 ff ff ff 64 17 00 00 00 00 00 00 00 00 24 ff ff ff 64 40 1b"));
}

void TestTaskFile::oneStageGivesThe66ByteFileByteForByte()
{
    const auto task = cpLines({"Бройлер - 02 д. 00 час., \t11.07.2008 10:00 \t13.07.2008 10:00",
                               "  02 д. 00 час., \t37.5°C 55%, \t11.07.2008 10:00 \t13.07.2008 10:00"});
    const QByteArray file = build({{1, task}});
    QCOMPARE(file.size(), 66);
    QCOMPARE(file.toHex(' '),
             QByteArray("01 01 "
                        "00 00 00 00 22 00 00 00 "
                        "0a 0b 07 08 2a 00 00 00 "
                        "0a 0d 07 08 32 00 00 00 "
                        "ff ff ff 64 3a 00 00 00 "
                        "00 00 00 00 00 00 00 1b "
                        "0a 0b 07 08 38 37 77 d0 "
                        "0a 0d 07 08 00 00 ad c6 "
                        "ff ff ff 64 00 00 71 cb"));
}

void TestTaskFile::consecutiveStagesShareTheirBoundaryKey()
{
    const auto task = cpLines({stage("11.07.2008 10:00", "12.07.2008 10:00"),
                               stage("12.07.2008 10:00", "13.07.2008 10:00", "37.0°C 70%")});
    const Table t = readTable(build({{3, task}}));
    QCOMPARE(t.cabinets, QList<int>{3});
    QCOMPARE(t.keys, (QList<quint32>{0, 0x08070B0A, 0x08070C0A, 0x08070D0A, 0x64FFFFFF}));
    QCOMPARE(t.setpoints, (QList<QByteArray>{QByteArray(2, 0), "\x38\x37", "\x33\x46", QByteArray(2, 0), QByteArray(2, 0)}));
}

void TestTaskFile::keysSortAcrossYearsAndTheLastBoundStaysLast()
{
    const auto task = cpLines({stage("01.01.2011 00:00", "02.01.2011 00:00"), stage("31.12.2009 23:00", "01.01.2010 00:00"),
                               stage("15.06.2010 12:00", "16.06.2010 12:00")});
    const Table t = readTable(build({{1, task}}));
    QCOMPARE(t.keys, (QList<quint32>{0, 0x090C1F17, 0x0A010100, 0x0A060F0C, 0x0A06100C, 0x0B010100, 0x0B010200,
                                     0x64FFFFFF}));
}

void TestTaskFile::cabinetsEndingAtTheSameHourAddOneKey()
{
    const Table t = readTable(build({{1, cpLines({stage("10.07.2008 00:00", "12.07.2008 10:00")})},
                                     {2, cpLines({stage("11.07.2008 00:00", "12.07.2008 10:00", "38.0°C 90%")})}}));
    QCOMPARE(t.cabinets, (QList<int>{1, 2}));
    QCOMPARE(t.keys, (QList<quint32>{0, 0x08070A00, 0x08070B00, 0x08070C0A, 0x64FFFFFF}));
    QCOMPARE(t.setpoints[1], QByteArray("\x38\x37\x00\x00", 4));
    QCOMPARE(t.setpoints[2], QByteArray("\x38\x37\x3d\x5a", 4));
    QCOMPARE(t.setpoints[3], QByteArray(4, 0));
}

void TestTaskFile::anEmptyStageAddsOneKeyAndCoversNoRow()
{
    const Table t = readTable(build({{1, cpLines({stage("11.07.2008 10:00", "11.07.2008 10:00")})}}));
    QCOMPARE(t.keys, (QList<quint32>{0, 0x08070B0A, 0x64FFFFFF}));
    for (const auto &row : t.setpoints)
        QCOMPARE(row, QByteArray(2, 0));
}

void TestTaskFile::theLaterLineWinsWhereProfilesOverlap()
{
    const auto task = cpLines({stage("11.07.2008 00:00", "13.07.2008 00:00", "37.0°C 50%"),
                               stage("12.07.2008 00:00", "14.07.2008 00:00", "38.0°C 60%")});
    const Table t = readTable(build({{1, task}}));
    QCOMPARE(t.keys, (QList<quint32>{0, 0x08070B00, 0x08070C00, 0x08070D00, 0x08070E00, 0x64FFFFFF}));
    QCOMPARE(t.setpoints[1], QByteArray("\x33\x32"));
    QCOMPARE(t.setpoints[2], QByteArray("\x3d\x3c"));
    QCOMPARE(t.setpoints[3], QByteArray("\x3d\x3c"));
}

void TestTaskFile::aTaskThatCouldNotBeReadKeepsItsColumnEmpty()
{
    const Table t = readTable(build({{7, std::nullopt}, {9, cpLines({stage("11.07.2008 10:00", "12.07.2008 10:00")})}}));
    QCOMPARE(t.cabinets, (QList<int>{7, 9}));
    QCOMPARE(t.setpoints[1], QByteArray("\x00\x00\x38\x37", 4));
}

void TestTaskFile::stagesWithoutARealDateAreLeftOut()
{
    const auto task = cpLines({stage("30.02.2009 10:00", "01.03.2009 10:00"), stage("01.03.2009 10:00", "01.13.2009 10:00"),
                               stage("01.03.2009 24:00", "02.03.2009 10:00"), stage("00.00.00 00:00", "00.00.00 00:00")});
    QCOMPARE(readTable(build({{1, task}})).keys, (QList<quint32>{0, 0x64FFFFFF}));
}

void TestTaskFile::cabinetsThatCannotBeWrittenAreRefused()
{
    QVERIFY(!buildTaskFile({{0, QList<QByteArray>()}}));
    QVERIFY(!buildTaskFile({{256, QList<QByteArray>()}}));
    QList<CabinetTaskSource> many(256, CabinetTaskSource{1, std::nullopt});
    QVERIFY(!buildTaskFile(many));
    QVERIFY(buildTaskFile(QList<CabinetTaskSource>(255, CabinetTaskSource{1, std::nullopt})));
}

QTEST_GUILESS_MAIN(TestTaskFile)
#include "test_taskfile.moc"
