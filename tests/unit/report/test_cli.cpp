#include <QtTest>

#include "report/dayreport.h"
#include "report/summarycsv.h"
#include "summaryfixture.h"

// "incubator-cli report --file PATH [--csv OUT] [--pdf OUT]", run as the
// built tool.
class TestReportCli : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void writesTheCsvAndThePdfOfADayFile();
    void withoutOutputFilesTheCsvGoesToStandardOutput();
    void aToleranceGivenOnTheCommandLineIsUsedButNotSaved();
    void badUsageIsRefused_data();
    void badUsageIsRefused();
    void anUnreadableFileFailsWithItsReason();

private:
    struct Run
    {
        int exitCode = -1;
        QByteArray out;
        QString err;
    };
    Run run(const QStringList &args) const;

    QTemporaryDir m_dir;
    QTemporaryDir m_home;
    QString m_day;
};

TestReportCli::Run TestReportCli::run(const QStringList &args) const
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Settings of its own, so that tolerances saved on this machine do not count.
    env.insert(QStringLiteral("HOME"), m_home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral(".config")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.path());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(INCUBATOR_CLI_PATH), QStringList{"--port", "offline", "report"} + args);
    Run r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = QString::fromUtf8(p.readAllStandardError()).trimmed();
    return r;
}

void TestReportCli::initTestCase()
{
    QVERIFY(m_dir.isValid() && m_home.isValid());
    // Cabinet 2 drifts 0.4 °C above its set point for half an hour
    // (180 slots) from 06:00; cabinet 9 keeps steady.
    DayFileBuilder f;
    for (int slot = 0; slot < 8640; slot += 1) {
        TestBlock warm = steady(2);
        if (slot >= 2160 && slot < 2340)
            warm.tSum = 37.9f;
        f.record(timeOfSlot(slot), {warm, steady(9)});
    }
    m_day = m_dir.filePath(QStringLiteral("09-03-05.INC"));
    QVERIFY(f.save(m_day));
}

void TestReportCli::writesTheCsvAndThePdfOfADayFile()
{
    const QString csv = m_dir.filePath(QStringLiteral("out.csv"));
    const QString pdf = m_dir.filePath(QStringLiteral("out.pdf"));
    const Run r = run({"--file", m_day, "--csv", csv, "--pdf", pdf});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.err, QString());

    QFile c(csv);
    QVERIFY(c.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = c.readAll().trimmed().split('\n');
    QCOMPARE(lines.size(), 3);
    const int above = int(lines[0].split(',').indexOf("t_above_minutes"));
    QVERIFY(above > 0);
    QCOMPARE(lines[1].split(',').value(above), "30.0");
    QCOMPARE(lines[2].split(',').value(above), "0.0");

    QFile p(pdf);
    QVERIFY(p.open(QIODevice::ReadOnly));
    QVERIFY(p.read(5) == "%PDF-");
}

void TestReportCli::withoutOutputFilesTheCsvGoesToStandardOutput()
{
    const Run r = run({"--file", m_day});
    QCOMPARE(r.exitCode, 0);
    report::DayReport expected;
    QVERIFY(report::loadReport(m_day, {}, &expected, nullptr));
    QCOMPARE(r.out, report::csv(expected));
}

// The field of the first cabinet's line in CSV text.
static QByteArray firstRowField(const QByteArray &csv, const QByteArray &name)
{
    const QList<QByteArray> lines = csv.split('\n');
    return lines.value(1).split(',').value(int(lines.value(0).split(',').indexOf(name)));
}

void TestReportCli::aToleranceGivenOnTheCommandLineIsUsedButNotSaved()
{
    const Run wide = run({"--file", m_day, "--temperature-tolerance", "0.5"});
    QCOMPARE(wide.exitCode, 0);
    QCOMPARE(firstRowField(wide.out, "t_above_minutes"), "0.0");
    const Run again = run({"--file", m_day});
    QCOMPARE(firstRowField(again.out, "t_above_minutes"), "30.0");
    QCOMPARE(firstRowField(again.out, "first_out_of_tolerance"), "06:00:00");
}

void TestReportCli::badUsageIsRefused_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no file") << QStringList{"--csv", "x.csv"} << "report needs --file PATH";
    QTest::newRow("an unknown option") << QStringList{"--file", "a", "--png", "b"} << "unexpected argument --png";
    QTest::newRow("an option without its value") << QStringList{"--file"} << "unexpected argument --file";
    QTest::newRow("a tolerance that is not a number")
        << QStringList{"--file", "a", "--temperature-tolerance", "abc"} << "--temperature-tolerance must be";
    QTest::newRow("a humidity tolerance out of range")
        << QStringList{"--file", "a", "--humidity-tolerance", "0"} << "--humidity-tolerance must be";
}

void TestReportCli::badUsageIsRefused()
{
    QFETCH(QStringList, args);
    QFETCH(QString, reason);
    const Run r = run(args);
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains(reason), qPrintable(r.err));
}

void TestReportCli::anUnreadableFileFailsWithItsReason()
{
    const QString csv = m_dir.filePath(QStringLiteral("never.csv"));
    Run r = run({"--file", m_dir.filePath(QStringLiteral("09-03-07.INC")), "--csv", csv});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(QStringLiteral("Ошибка при открытии файла!")), qPrintable(r.err));
    QVERIFY(!QFile::exists(csv));

    r = run({"--file", m_dir.filePath(QStringLiteral("notes.txt"))});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(QStringLiteral("notes.txt")), qPrintable(r.err));
}

QTEST_GUILESS_MAIN(TestReportCli)
#include "test_cli.moc"
