#include <QtTest>

#include "statgen.h"
#include "viewer/statdocument.h"
#include "viewer/statname.h"

#include <QTemporaryDir>
#include <bit>
#include <cmath>

// The day file generator: deterministic, well formed and lifelike.
class TestStatgen : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void theSameSeedGivesTheSameBytes();
    void aFullDayOfAllCabinetsHasOneRecordPerSlot();
    void gapsLeaveSlotsOutButNeverDamageTheFile();
    void cabinetsDoNotDependOnWhichOthersAreGenerated();
    void readingsFollowTheSetPointsWithTheEquipmentCycling();
    void cabinetListsAreParsedAndChecked_data();
    void cabinetListsAreParsedAndChecked();
    void dayFilesAreNamedSoThatTheViewerReadsTheirDate();

private:
    static statgen::Options options(const QString &cabinets, uint32_t seed = 1, bool gaps = true);
    bool load(StatDocument &doc, const QByteArray &bytes);
    QTemporaryDir m_dir;
};

void TestStatgen::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

statgen::Options TestStatgen::options(const QString &cabinets, uint32_t seed, bool gaps)
{
    statgen::Options o;
    o.date = QDate(2009, 3, 5);
    statgen::parseCabinets(cabinets, &o.cabinets, nullptr);
    o.seed = seed;
    o.gaps = gaps;
    return o;
}

bool TestStatgen::load(StatDocument &doc, const QByteArray &bytes)
{
    const QString path = m_dir.filePath(QStringLiteral("09-03-05.INC"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return false;
    f.close();
    return doc.load(QStringLiteral("09-03-05.INC"), path).ok();
}

void TestStatgen::theSameSeedGivesTheSameBytes()
{
    const QByteArray a = statgen::generateDay(options(QStringLiteral("1-5"), 42));
    QCOMPARE(statgen::generateDay(options(QStringLiteral("1-5"), 42)), a);
    QVERIFY(statgen::generateDay(options(QStringLiteral("1-5"), 43)) != a);
}

void TestStatgen::aFullDayOfAllCabinetsHasOneRecordPerSlot()
{
    const QByteArray bytes = statgen::generateDay(options(QStringLiteral("1-63"), 9, false));
    QCOMPARE(bytes.size(), qsizetype(8640) * (3 + 27 * 63));
    StatDocument doc;
    QVERIFY(load(doc, bytes));
    QCOMPARE(doc.file().recordCount(), 8640);
    QCOMPARE(doc.file().damagedRecords(), 0);
    QCOMPARE(doc.tabs().size(), 63);
}

void TestStatgen::gapsLeaveSlotsOutButNeverDamageTheFile()
{
    for (uint32_t seed = 1; seed <= 5; ++seed) {
        StatDocument doc;
        QVERIFY(load(doc, statgen::generateDay(options(QStringLiteral("1-4,20"), seed))));
        QCOMPARE(doc.file().damagedRecords(), 0);
        QVERIFY(doc.file().recordCount() < 8640);
        QVERIFY(doc.file().recordCount() > 8000);
        QCOMPARE(doc.tabs(), (QList<int>{1, 2, 3, 4, 20}));
        // Records come in time order, one per slot.
        int previous = -1;
        for (int r = 0; r < doc.file().recordCount(); ++r) {
            const unsigned char *rec = doc.file().data() + doc.file().recordOffset(r);
            const int word = rec[0] | rec[1] << 8;
            const int slot = (word >> 11) * 360 + ((word >> 5) & 63) * 6 + (word & 31) / 5;
            QVERIFY(slot > previous);
            previous = slot;
        }
    }
}

void TestStatgen::cabinetsDoNotDependOnWhichOthersAreGenerated()
{
    StatDocument few, many;
    QVERIFY(load(few, statgen::generateDay(options(QStringLiteral("2,7"), 3))));
    QVERIFY(load(many, statgen::generateDay(options(QStringLiteral("1-12"), 3))));
    QVERIFY(few.selectCabinet(7));
    QVERIFY(many.selectCabinet(7));
    QVERIFY(few.series().tMeas == many.series().tMeas);
    QVERIFY(few.series().stateBits == many.series().stateBits);
}

void TestStatgen::readingsFollowTheSetPointsWithTheEquipmentCycling()
{
    StatDocument doc;
    QVERIFY(load(doc, statgen::generateDay(options(QStringLiteral("1-20"), 11, false))));
    int lively = 0;
    for (int tab = 0; tab < doc.tabs().size(); ++tab) {
        QVERIFY(doc.setCurrentTab(tab));
        const DaySeries &s = doc.series();
        if (s.tTask[0] == 0)
            continue;   // an empty cabinet without a task
        int near = 0, heaterOn = 0, humidifierOn = 0, moving = 0, doorOpen = 0, contacts = 0;
        for (size_t i = 0; i < 8640; ++i) {
            near += std::abs(s.tMeas[i] - s.tTask[i]) < 0.5f && std::abs(s.hMeas[i] - s.hTask[i]) < 5.0f;
            heaterOn += (s.stateBits[i] & 0x0040) != 0;
            humidifierOn += (s.stateBits[i] & 0x0100) != 0;
            moving += (s.stateBits[i] & 0x0002) != 0;
            doorOpen += (s.stateBits[i] & 0x0001) != 0;
            contacts += std::popcount(unsigned(s.stateBits[i] & 0x0038)) == 1;
        }
        QVERIFY2(near > 8640 * 9 / 10, qPrintable(QString::number(near)));
        QVERIFY(heaterOn > 500 && heaterOn < 8140);          // cycling, not stuck
        QVERIFY(humidifierOn > 200 && humidifierOn < 8440);
        QCOMPARE(moving, 24 * 4);                            // forty seconds every hour
        QVERIFY(doorOpen >= 6);
        QCOMPARE(contacts, 8640);                            // always exactly one position
        ++lively;
    }
    QVERIFY(lively >= 15);
}

void TestStatgen::cabinetListsAreParsedAndChecked_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QList<int>>("cabinets");
    QTest::newRow("a range and a single one") << QStringLiteral("1-3,15") << true << QList<int>{1, 2, 3, 15};
    QTest::newRow("duplicates and disorder") << QStringLiteral("9, 2,2-3") << true << QList<int>{2, 3, 9};
    QTest::newRow("the last bus address") << QStringLiteral("63") << true << QList<int>{63};
    QTest::newRow("cabinet 0") << QStringLiteral("0-2") << false << QList<int>{};
    QTest::newRow("cabinet 64") << QStringLiteral("64") << false << QList<int>{};
    QTest::newRow("a backward range") << QStringLiteral("5-3") << false << QList<int>{};
    QTest::newRow("words") << QStringLiteral("all") << false << QList<int>{};
    QTest::newRow("nothing") << QString() << false << QList<int>{};
    QTest::newRow("a range of three ends") << QStringLiteral("1-2-3") << false << QList<int>{};
}

void TestStatgen::cabinetListsAreParsedAndChecked()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QList<int>, cabinets);
    QList<int> got{99};
    QString error;
    QCOMPARE(statgen::parseCabinets(text, &got, &error), ok);
    if (ok)
        QCOMPARE(got, cabinets);
    else
        QVERIFY(!error.isEmpty());
}

void TestStatgen::dayFilesAreNamedSoThatTheViewerReadsTheirDate()
{
    const QString name = statgen::dayFileName(QDate(2009, 3, 5));
    QCOMPARE(name, QStringLiteral("09-03-05.INC"));
    QVERIFY(statname::isStatFileName(name));
    QDate date;
    QVERIFY(statname::dateOf(name, &date, nullptr));
    QCOMPARE(date, QDate(2009, 3, 5));
    QCOMPARE(statgen::dayFileName(QDate(2031, 12, 1)), QStringLiteral("31-12-01.INC"));
}

QTEST_GUILESS_MAIN(TestStatgen)
#include "test_statgen.moc"
