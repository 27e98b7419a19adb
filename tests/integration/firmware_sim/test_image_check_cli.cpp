#include <QtTest>

#include "integration/firmware_sim/firmwaresim.h"
#include "support/clirun.h"

// "incubator-cli image-check FILE": the block count on success, the update
// log's line of the failed check and a non-zero exit otherwise.
class TestImageCheckCli : public QObject
{
    Q_OBJECT
private slots:
    void checksAnImageFile_data();
    void checksAnImageFile();
    void aMissingArgumentIsAUsageError();

private:
    static CliRun run(const QStringList &args);
};

CliRun TestImageCheckCli::run(const QStringList &args)
{
    // No port is needed; an offline path keeps the tool from touching devices.
    CliRun r = runCli(QStringLiteral("offline"), QStringList{QStringLiteral("image-check")} + args);
    r.out = r.out.trimmed();
    // The tool's own line is the last one: Qt may warn before it.
    r.err = r.err.trimmed().split(QLatin1Char('\n')).last();
    return r;
}

void TestImageCheckCli::checksAnImageFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("errorLine");

    const QByteArray good = imageFileOf(mainProgram());
    QByteArray badSignature = good;
    badSignature[0] = 'k';
    QByteArray damaged = good;
    damaged[100] = char(damaged[100] ^ 0x20);

    QTest::newRow("a good image prints its block count") << good << 0 << "3" << "";
    QTest::newRow("trailing bytes after the checksum are ignored")
        << good + QByteArray(1543, '\x55') << 0 << "3" << "";
    QTest::newRow("a file shorter than one block") << good.left(1579) << 1 << "" << "Неверный размер файла";
    QTest::newRow("a wrong signature") << badSignature << 1 << "" << "Неверная сигнатура файла";
    QTest::newRow("a damaged block") << damaged << 1 << "" << "Файл поврежден";
}

void TestImageCheckCli::checksAnImageFile()
{
    QFETCH(QByteArray, file);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, errorLine);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fwimg.main"));
    QVERIFY(writeFile(path, file));

    const CliRun r = run({path});
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(r.out, out);
    if (errorLine.isEmpty())
        QVERIFY(!r.err.startsWith(QStringLiteral("incubator-cli:")));
    else
        QCOMPARE(r.err, QStringLiteral("incubator-cli: ") + errorLine);
}

void TestImageCheckCli::aMissingArgumentIsAUsageError()
{
    QTemporaryDir dir;
    const CliRun missingFile = run({dir.filePath(QStringLiteral("fwimg.col"))});
    QCOMPARE(missingFile.exitCode, 1);
    QCOMPARE(missingFile.err, QStringLiteral("incubator-cli: Ошибка открытия файла"));

    const CliRun noFile = run({});
    QCOMPARE(noFile.exitCode, 2);
    QVERIFY(noFile.out.isEmpty());
}

QTEST_MAIN(TestImageCheckCli)
#include "test_image_check_cli.moc"
