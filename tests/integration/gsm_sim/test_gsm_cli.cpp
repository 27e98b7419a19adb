// "incubator-cli gsm-read" and "gsm-write TEXT" as built, over the real
// serial code, against collector-sim on the pseudo-terminal it prints.
#include <QtTest>

#include "link/cp1251.h"
#include "sim/gsm/gsmmodule.h"

namespace {

class SimProcess
{
public:
    explicit SimProcess(const QStringList &arguments)
    {
        process_.start(QStringLiteral(COLLECTOR_SIM_PATH), arguments);
    }

    ~SimProcess()
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(10000))
            process_.kill();
        process_.waitForFinished(10000);
    }

    // The first line the simulator prints is the terminal to open.
    QString path()
    {
        QDeadlineTimer deadline(20000);
        while (!process_.canReadLine() && !deadline.hasExpired() && process_.state() != QProcess::NotRunning)
            process_.waitForReadyRead(500);
        return QString::fromLocal8Bit(process_.readLine()).trimmed();
    }

    QProcess process_;
};

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run cli(const QString &port, const QStringList &args)
{
    QTemporaryDir workDir;   // the tool works in its current folder
    QProcess p;
    p.setWorkingDirectory(workDir.path());
    p.start(QStringLiteral(INCUBATOR_CLI_PATH), QStringList{QStringLiteral("--port"), port} + args);
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    r.err = QString::fromUtf8(p.readAllStandardError()).trimmed();
    return r;
}

}  // namespace

class TestGsmCli : public QObject
{
    Q_OBJECT
private slots:
    void readWriteAndReadBackOnAPseudoTerminal();
    void aModuleThatAsksForTheMessageAgainIsWrittenToo();
    void theToolFailsWhenNoGoodSettingsArrive_data();
    void theToolFailsWhenNoGoodSettingsArrive();
    void theDemonstrationCollectorCarriesAModule();
    void aMissingOrExtraArgumentIsAUsageError();
};

void TestGsmCli::readWriteAndReadBackOnAPseudoTerminal()
{
    SimProcess sim({QStringLiteral("--gsm-settings"), QStringLiteral("aon:0 pass:1234 sms:Тревога")});
    const QString path = sim.path();
    QVERIFY2(path.startsWith(QLatin1String("/dev/")), qPrintable(path));

    const Run first = cli(path, {QStringLiteral("gsm-read")});
    QCOMPARE(first.exitCode, 0);
    QCOMPARE(first.out, QStringLiteral("aon:0 pass:1234 sms:Тревога"));

    // Words may come as separate arguments; capitals are sent in lower case.
    const Run write = cli(path, {QStringLiteral("gsm-write"), QStringLiteral("AON:1"), QStringLiteral("pass:1234"),
                                 QStringLiteral("sms:Тревога|Шкаф 3")});
    QCOMPARE(write.exitCode, 0);
    QCOMPARE(write.out, QStringLiteral("Настройки записаны"));

    const Run after = cli(path, {QStringLiteral("gsm-read")});
    QCOMPARE(after.exitCode, 0);
    QCOMPARE(after.out, QStringLiteral("aon:1 pass:1234 sms:Тревога|Шкаф 3"));
}

void TestGsmCli::aModuleThatAsksForTheMessageAgainIsWrittenToo()
{
    SimProcess sim({QStringLiteral("--gsm-settings"), QStringLiteral("aon:0 pass:1234 sms:x"),
                    QStringLiteral("--gsm-fault"), QStringLiteral("nak-first")});
    const QString path = sim.path();
    QVERIFY2(path.startsWith(QLatin1String("/dev/")), qPrintable(path));

    const Run write = cli(path, {QStringLiteral("gsm-write"), QStringLiteral("aon:0 pass:4321 sms:x")});
    QCOMPARE(write.exitCode, 0);
    QCOMPARE(write.out, QStringLiteral("Настройки записаны"));
    QCOMPARE(cli(path, {QStringLiteral("gsm-read")}).out, QStringLiteral("aon:0 pass:4321 sms:x"));
}

void TestGsmCli::theToolFailsWhenNoGoodSettingsArrive_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("args");

    QTest::newRow("a read whose checksum does not match")
        << QStringLiteral("wrong-checksum") << QStringList{QStringLiteral("gsm-read")};
    QTest::newRow("a write to a silent module, which cannot read first")
        << QStringLiteral("silent") << QStringList{QStringLiteral("gsm-write"), QStringLiteral("pass:4321")};
}

void TestGsmCli::theToolFailsWhenNoGoodSettingsArrive()
{
    QFETCH(QString, fault);
    QFETCH(QStringList, args);
    SimProcess sim({QStringLiteral("--gsm-fault"), fault});
    const QString path = sim.path();
    QVERIFY2(path.startsWith(QLatin1String("/dev/")), qPrintable(path));

    const Run r = cli(path, args);
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(r.err.contains(QStringLiteral("Ошибка во время общения с устройством!")), qPrintable(r.err));
}

void TestGsmCli::theDemonstrationCollectorCarriesAModule()
{
    const Run r = cli(QStringLiteral("sim:demo"), {QStringLiteral("gsm-read")});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, cp1251::decode(GsmModule::demonstrationSettings()));
}

void TestGsmCli::aMissingOrExtraArgumentIsAUsageError()
{
    // Refused before the port is touched.
    const Run noText = cli(QStringLiteral("offline"), {QStringLiteral("gsm-write")});
    QCOMPARE(noText.exitCode, 2);
    QVERIFY(noText.out.isEmpty());
    const Run extra = cli(QStringLiteral("offline"), {QStringLiteral("gsm-read"), QStringLiteral("now")});
    QCOMPARE(extra.exitCode, 2);
    QVERIFY(extra.out.isEmpty());
}

QTEST_GUILESS_MAIN(TestGsmCli)
#include "test_gsm_cli.moc"
