#include <QTemporaryDir>
#include <QtTest>

#include "link/operatorui.h"
#include "service/sensorfile.h"

// "В файл" and "Из файла": the parameter text file.
class TestSensorFile : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void theFileHoldsRowsTwelveToZeroEachFollowedByATab();
    void savingThenLoadingRestoresRowsZeroToTwelveAndLeavesTheRest();
    void loading_data();
    void loading();
    void skippedFieldsAreToldToTheOperator();
    void aMissingFileLeavesTheRowsAndIsReported();
    void aRowTheFileCannotHoldStopsTheSave_data();
    void aRowTheFileCannotHoldStopsTheSave();
    void aFileThatCannotBeWrittenIsReported();

private:
    QStringList rows;
    std::unique_ptr<QTemporaryDir> dir;
    QString path() const { return dir->filePath("dat.txt"); }
};

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

void TestSensorFile::init()
{
    rows.clear();
    for (int row = 0; row < 16; ++row)
        rows << QStringLiteral("r%1").arg(row);
    dir = std::make_unique<QTemporaryDir>();
}

void TestSensorFile::theFileHoldsRowsTwelveToZeroEachFollowedByATab()
{
    rows[0] = "63";
    rows[12] = "1,500000e+00";
    rows[5] = "на";
    ScriptedOperator ui;
    QVERIFY(sensorfile::save(path(), rows, ui));
    QVERIFY(ui.messages.isEmpty());
    // Code page 1251: "на" is 0xED 0xE0. No line break at the end.
    QCOMPARE(readAll(path()), QByteArray("1,500000e+00\tr11\tr10\tr9\tr8\tr7\tr6\t\xED\xE0\tr4\tr3\tr2\tr1\t63\t"));
}

void TestSensorFile::savingThenLoadingRestoresRowsZeroToTwelveAndLeavesTheRest()
{
    ScriptedOperator ui;
    const QStringList saved = rows;
    QVERIFY(sensorfile::save(path(), rows, ui));
    for (QString &r : rows)
        r += "-changed";
    const QStringList changed = rows;

    QVERIFY(sensorfile::load(path(), rows, ui));

    QCOMPARE(rows.mid(0, 13), saved.mid(0, 13));
    QCOMPARE(rows.mid(13), changed.mid(13));
    QVERIFY(ui.messages.isEmpty());
}

void TestSensorFile::loading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("rowsZeroToFifteen");
    QTest::addColumn<QList<int>>("emptyRows");
    QTest::addColumn<int>("extraFields");

    const QStringList untouched = {"r0", "r1", "r2", "r3", "r4", "r5", "r6", "r7", "r8", "r9", "r10", "r11", "r12",
                                   "r13", "r14", "r15"};
    auto with = [&](std::initializer_list<std::pair<int, QString>> changes) {
        QStringList r = untouched;
        for (const auto &[row, text] : changes)
            r[row] = text;
        return r;
    };
    QTest::newRow("three fields go to rows 12, 11, 10")
        << "a\tb\tc\t" << with({{12, "a"}, {11, "b"}, {10, "c"}}) << QList<int>{} << 0;
    QTest::newRow("a last field closed by a line break")
        << "a\tb\tc\r\n" << with({{12, "a"}, {11, "b"}, {10, "c"}}) << QList<int>{} << 0;
    QTest::newRow("a last field closed by a lone LF") << "a\tbc\n" << with({{12, "a"}, {11, "bc"}}) << QList<int>{}
                                                     << 0;
    QTest::newRow("a short last field without a line break keeps every character")
        << "a\tb" << with({{12, "a"}, {11, "b"}}) << QList<int>{} << 0;
    QTest::newRow("a line break alone after the last tab is no field")
        << "a\t\r\n" << with({{12, "a"}}) << QList<int>{} << 0;
    QTest::newRow("an empty field keeps its row and the rest keep their places")
        << "a\t\tc\t" << with({{12, "a"}, {10, "c"}}) << QList<int>{11} << 0;
    QTest::newRow("a field of blanks counts as empty") << " \tb\t" << with({{11, "b"}}) << QList<int>{12} << 0;
    QTest::newRow("fifteen fields: two beyond row 0 are skipped")
        << "12\t11\t10\t9\t8\t7\t6\t5\t4\t3\t2\t1\t0\textra1\textra2\t"
        << QStringList{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "r13", "r14", "r15"}
        << QList<int>{} << 2;
    QTest::newRow("an empty file changes nothing") << "" << untouched << QList<int>{} << 0;
}

void TestSensorFile::loading()
{
    QFETCH(QString, text);
    QFETCH(QStringList, rowsZeroToFifteen);
    QFETCH(QList<int>, emptyRows);
    QFETCH(int, extraFields);

    const sensorfile::Loaded loaded = sensorfile::apply(text, rows);

    QCOMPARE(loaded.rows, rowsZeroToFifteen);
    QCOMPARE(loaded.emptyRows, emptyRows);
    QCOMPARE(loaded.extraFields, extraFields);
}

void TestSensorFile::skippedFieldsAreToldToTheOperator()
{
    writeAll(path(), "a\t\tc\t\t5\t6\t7\t8\t9\t10\t11\t12\t13\t14\t");
    ScriptedOperator ui;

    QVERIFY(sensorfile::load(path(), rows, ui));

    QCOMPARE(rows.size(), 16);
    QCOMPARE(rows[12], "a");
    QCOMPARE(rows[11], "r11");
    QCOMPARE(rows[10], "c");
    QCOMPARE(rows[9], "r9");
    QCOMPARE(rows[0], "13");
    QCOMPARE(ui.messages, QStringList{"Пустые поля файла пропущены, строки «6», «4» не изменены.\n"
                                      "Лишние поля файла пропущены: 1."});
}

void TestSensorFile::aMissingFileLeavesTheRowsAndIsReported()
{
    ScriptedOperator ui;
    const QStringList before = rows;
    QVERIFY(!sensorfile::load(path(), rows, ui));
    QCOMPARE(rows, before);
    QCOMPARE(ui.messages, QStringList{"Не удалось открыть файл " + QDir::toNativeSeparators(path())});
}

void TestSensorFile::aRowTheFileCannotHoldStopsTheSave_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::newRow("a tab inside a value") << 3 << "1\t2" << "hum_k_ADC";
    QTest::newRow("a line break inside a value") << 12 << "1\n2" << "7";
    QTest::newRow("a character outside code page 1251") << 0 << "中" << "Номер";
}

void TestSensorFile::aRowTheFileCannotHoldStopsTheSave()
{
    QFETCH(int, row);
    QFETCH(QString, text);
    QFETCH(QString, name);
    writeAll(path(), "earlier\t");
    rows[row] = text;
    ScriptedOperator ui;

    QVERIFY(!sensorfile::save(path(), rows, ui));

    QCOMPARE(readAll(path()), QByteArray("earlier\t"));
    QCOMPARE(ui.messages, QStringList{"Значение в строке «" + name + "» нельзя записать в файл."});
}

void TestSensorFile::aFileThatCannotBeWrittenIsReported()
{
    const QString missingFolder = dir->filePath("no-such-folder/dat.txt");
    ScriptedOperator ui;
    QVERIFY(!sensorfile::save(missingFolder, rows, ui));
    QCOMPARE(ui.messages, QStringList{"Не удалось записать файл " + QDir::toNativeSeparators(missingFolder)});
    QVERIFY(!QFile::exists(missingFolder));
}

QTEST_APPLESS_MAIN(TestSensorFile)
#include "test_sensorfile.moc"
