// End to end over a pseudo-terminal: collector-sim serves a card folder and
// incubator-cli lists, fetches, deletes and reads the clock through the real
// serial port code.
#include <QtTest>

#include "support/clirun.h"
#include "support/simprocess.h"
#include "tools/statgen/statgen.h"

namespace {

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QByteArray dayFile(const QDate &date, int cabinet)
{
    statgen::Options o;
    o.date = date;
    o.cabinets = {cabinet};
    o.seed = uint32_t(cabinet);
    return statgen::generateDay(o);
}

}  // namespace

class TestFilesPty : public QObject
{
    Q_OBJECT
private slots:
    void listFetchDeleteAndClockOverAPseudoTerminal();
};

void TestFilesPty::listFetchDeleteAndClockOverAPseudoTerminal()
{
    QTemporaryDir card;
    QTemporaryDir work;
    const QByteArray day16 = dayFile(QDate(2024, 5, 16), 3);
    const QByteArray day17 = dayFile(QDate(2024, 5, 17), 4);
    QByteArray notes(5000, Qt::Uninitialized);
    for (int i = 0; i < notes.size(); ++i)
        notes[i] = char(i * 7 + 3);
    QVERIFY(writeFile(card.filePath("24-05-16.INC"), day16));
    QVERIFY(writeFile(card.filePath("24-05-17.INC"), day17));
    QVERIFY(writeFile(card.filePath("RULE.BIN"), QByteArray(29, '\0')));
    QVERIFY(writeFile(card.filePath("notes.txt"), notes));
    QVERIFY(QDir(work.path()).mkdir("cache"));
    QVERIFY(writeFile(work.filePath("cache/24-05-16.INC"), day16));

    // Frequent reports must never land inside a stream.
    SimProcess sim({QStringLiteral("--card"), card.path(), QStringLiteral("--report-ms"), QStringLiteral("50")});
    const QString port = sim.path();
    QVERIFY2(port.startsWith(QLatin1String("/dev/")), qPrintable(port));

    CliRun list = runCli(port, {QStringLiteral("list")}, work.path());
    QCOMPARE(list.exitCode, 0);
    const QString expected = QStringLiteral("notes.txt\t5000\n24-05-17.INC\t%1\n24-05-16.INC\t%2\t*\n")
                                 .arg(day17.size())
                                 .arg(day16.size());
    QCOMPARE(list.out, expected);

    const CliRun fetch = runCli(port, {QStringLiteral("fetch"), QStringLiteral("--new")}, work.path());
    QVERIFY2(fetch.exitCode == 0, qPrintable(fetch.err));
    QVERIFY(fetch.err.contains(QStringLiteral("Прием файла 24-05-17.INC...")));
    QVERIFY(readFile(work.filePath("cache/24-05-17.INC")) == day17);
    QVERIFY(readFile(work.filePath("cache/notes.txt")) == notes);
    QVERIFY(readFile(work.filePath("cache/24-05-16.INC")) == day16);

    // A lower-case card name never counts as cached.
    list = runCli(port, {QStringLiteral("list")}, work.path());
    QCOMPARE(list.out, QStringLiteral("notes.txt\t5000\n24-05-17.INC\t%1\t*\n24-05-16.INC\t%2\t*\n")
                           .arg(day17.size())
                           .arg(day16.size()));

    const CliRun escape = runCli(port, {QStringLiteral("fetch"), QStringLiteral("../outside.INC")}, work.path());
    QCOMPARE(escape.exitCode, 1);
    QCOMPARE(escape.err.count(QStringLiteral("incubator-cli: ")), 1);
    QVERIFY(escape.err.contains(QStringLiteral("../outside.INC")));
    QVERIFY(!QFile::exists(QDir(work.path()).filePath("../outside.INC")));

    const CliRun missing = runCli(port, {QStringLiteral("fetch"), QStringLiteral("NONE.INC")}, work.path());
    QCOMPARE(missing.exitCode, 1);
    QVERIFY(missing.err.contains(QStringLiteral("Ошибка. Повторить считывание?")));

    QCOMPARE(runCli(port, {QStringLiteral("delete"), QStringLiteral("notes.txt")}, work.path()).exitCode, 0);
    list = runCli(port, {QStringLiteral("list")}, work.path());
    QVERIFY(!list.out.contains(QStringLiteral("notes.txt")));
    QCOMPARE(runCli(port, {QStringLiteral("delete"), QStringLiteral("notes.txt")}, work.path()).exitCode, 1);

    const CliRun clock = runCli(port, {QStringLiteral("clock")}, work.path());
    QCOMPARE(clock.exitCode, 0);
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\\n$")).match(clock.out).hasMatch(),
             qPrintable(clock.out));
    QCOMPARE(runCli(port, {QStringLiteral("clock"), QStringLiteral("--set")}, work.path()).exitCode, 0);
}

QTEST_GUILESS_MAIN(TestFilesPty)
#include "test_files_pty.moc"
