// "incubator-cli gsm-read" and "gsm-write TEXT" as built, over the real
// serial code, against collector-sim on the pseudo-terminal it prints.
#include <QtTest>

#include "link/cp1251.h"
#include "sim/gsm/gsmmodule.h"
#include "support/clirun.h"
#include "support/simprocess.h"

namespace {

// Replies are single lines; the line end is not part of them.
CliRun cli(const QString &port, const QStringList &args)
{
    CliRun run = runCli(port, args);
    run.out = run.out.trimmed();
    run.err = run.err.trimmed();
    return run;
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

    const CliRun first = cli(path, {QStringLiteral("gsm-read")});
    QCOMPARE(first.exitCode, 0);
    QCOMPARE(first.out, QStringLiteral("aon:0 pass:1234 sms:Тревога"));

    // Words may come as separate arguments; capitals are sent in lower case.
    const CliRun write = cli(path, {QStringLiteral("gsm-write"), QStringLiteral("AON:1"), QStringLiteral("pass:1234"),
                                    QStringLiteral("sms:Тревога|Шкаф 3")});
    QCOMPARE(write.exitCode, 0);
    QCOMPARE(write.out, QStringLiteral("Настройки записаны"));

    const CliRun after = cli(path, {QStringLiteral("gsm-read")});
    QCOMPARE(after.exitCode, 0);
    QCOMPARE(after.out, QStringLiteral("aon:1 pass:1234 sms:Тревога|Шкаф 3"));
}

void TestGsmCli::aModuleThatAsksForTheMessageAgainIsWrittenToo()
{
    SimProcess sim({QStringLiteral("--gsm-settings"), QStringLiteral("aon:0 pass:1234 sms:x"),
                    QStringLiteral("--gsm-fault"), QStringLiteral("nak-first")});
    const QString path = sim.path();
    QVERIFY2(path.startsWith(QLatin1String("/dev/")), qPrintable(path));

    const CliRun write = cli(path, {QStringLiteral("gsm-write"), QStringLiteral("aon:0 pass:4321 sms:x")});
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

    const CliRun r = cli(path, args);
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(r.err.contains(QStringLiteral("Ошибка во время общения с устройством!")), qPrintable(r.err));
}

void TestGsmCli::theDemonstrationCollectorCarriesAModule()
{
    const CliRun r = cli(QStringLiteral("sim:demo"), {QStringLiteral("gsm-read")});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, cp1251::decode(GsmModule::demonstrationSettings()));
}

void TestGsmCli::aMissingOrExtraArgumentIsAUsageError()
{
    // Refused before the port is touched.
    const CliRun noText = cli(QStringLiteral("offline"), {QStringLiteral("gsm-write")});
    QCOMPARE(noText.exitCode, 2);
    QVERIFY(noText.out.isEmpty());
    const CliRun extra = cli(QStringLiteral("offline"), {QStringLiteral("gsm-read"), QStringLiteral("now")});
    QCOMPARE(extra.exitCode, 2);
    QVERIFY(extra.out.isEmpty());
}

QTEST_GUILESS_MAIN(TestGsmCli)
#include "test_gsm_cli.moc"
