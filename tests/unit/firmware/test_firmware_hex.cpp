#include <QtTest>

#include "firmware/converter.h"
#include "firmware/firmwareimage.h"
#include "firmware/hexfile.h"
#include "firmware/imagebuilder.h"
#include "firmware/imagecrc.h"
#include "link/operatorui.h"

namespace {

// Reset vector "goto 0x200", three instructions at pc 0x200 (the last with a
// stray phantom byte), one at pc 0x400, and one at pc 0x8008 behind an
// extended linear address record.
const QByteArray programHex = ":020000040000FA\n"
                              ":080000000002040000000000F2\n"
                              ":0C0400001122330044556600778899559E\n"
                              ":04080000AABBCC00C3\n"
                              ":020000040001F9\n"
                              ":040010000180FE006D\n"
                              ":0400000500000000F7\n"
                              ":00000001FF\n";

// One instruction 0x123456 at pc 0.
const QByteArray tinyHex = ":040000005634120060\r\n:00000001FF\r\n";

struct Page
{
    quint32 address;
    QMap<int, quint32> instructions;   // index in the page -> value; the rest are erased
};

const QList<Page> programPages = {
    {0x000000, {{0, 0x040200}, {1, 0x000000}, {256, 0x332211}, {257, 0x665544}, {258, 0x998877}}},
    {0x000400, {{0, 0xCCBBAA}}},
    {0x008000, {{4, 0xFE8001}}},
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// Compares a loaded image with the pages it should hold, reading the block
// layout by its offsets.
void verifyPages(const FirmwareImage &image, const QList<Page> &pages)
{
    QCOMPARE(image.blockCount, pages.size());
    QCOMPARE(quint8(image.bytes[32]), quint8(pages.size()));
    QCOMPARE(quint8(image.bytes[33]), quint8(0));
    for (int j = 0; j < pages.size(); ++j) {
        const QByteArrayView block = image.block(j);
        const auto *b = reinterpret_cast<const quint8 *>(block.data());
        const quint32 address = b[0] | b[1] << 8 | b[2] << 16 | quint32(b[3]) << 24;
        QCOMPARE(address, pages[j].address);
        QCOMPARE(b[4], quint8(1));
        QCOMPARE(b[5], quint8(0));
        QCOMPARE(quint16(b[6] | b[7] << 8), ImageCrc16(block.sliced(8)));
        for (int i = 0; i < 512; ++i) {
            const quint8 *p = b + 8 + 3 * i;
            const quint32 value = p[0] | p[1] << 8 | p[2] << 16;
            QCOMPARE(value, pages[j].instructions.value(i, 0xFFFFFF));
        }
    }
}

}  // namespace

Q_DECLARE_METATYPE(HexChunk)

class TestFirmwareHex : public QObject
{
    Q_OBJECT
private slots:
    void hexRecordsAreVerified_data();
    void hexRecordsAreVerified();
    void addressRecordsMoveTheData();
    void buildingRefusesWhatNoKernelCouldTake_data();
    void buildingRefusesWhatNoKernelCouldTake();
    void fwmakerOutputDecodesBackToTheHexData();
    void fwmakerRefusesABadFileWithoutWritingAnything_data();
    void fwmakerRefusesABadFileWithoutWritingAnything();
    void cabinetConversionMakesBothImagesInOrder();
    void collectorConversionMakesItsImage();
    void aFailedConversionLeavesTheImageMissing();
    void withoutConverterOrSourceNothingIsTouched_data();
    void withoutConverterOrSourceNothingIsTouched();

private:
    int runFwmaker(const QString &folder, const QStringList &args, QByteArray *err = nullptr);
    ConverterSetup setupIn(const QTemporaryDir &dir);
};

void TestFirmwareHex::hexRecordsAreVerified_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");   // empty when accepted
    QTest::newRow("a program with address records is accepted") << programHex << QString();
    QTest::newRow("CR LF line ends and blank lines are accepted") << QByteArray("\r\n") + tinyHex << QString();
    QTest::newRow("lines after the end record are ignored") << tinyHex + "garbage\n" << QString();
    QTest::newRow("a record checksum off by one is refused")
        << QByteArray(":020000040000FA\n:080000000002040000000000F3\n:00000001FF\n")
        << QStringLiteral("line 2: bad record checksum");
    QTest::newRow("a line without the colon is refused")
        << QByteArray("040000005634120060\n:00000001FF\n") << QStringLiteral("line 1: a record must start with ':'");
    QTest::newRow("a non-hex digit is refused")
        << QByteArray(":04000000563412005G\n:00000001FF\n") << QStringLiteral("line 1: malformed record");
    QTest::newRow("an odd number of digits is refused")
        << QByteArray(":0400000056341200600\n:00000001FF\n") << QStringLiteral("line 1: malformed record");
    QTest::newRow("a blank inside a record is refused")
        << QByteArray(":0500000056341200 5D\n:00000001FF\n") << QStringLiteral("line 1: malformed record");
    QTest::newRow("a byte count larger than the data is refused")
        << QByteArray(":050000005634120059\n:00000001FF\n")
        << QStringLiteral("line 1: record length does not match its byte count");
    QTest::newRow("an unknown record type is refused")
        << QByteArray(":00000006FA\n:00000001FF\n") << QStringLiteral("line 1: unknown record type 06");
    QTest::newRow("an end record with data is refused")
        << QByteArray(":01000001AA54\n") << QStringLiteral("line 1: end-of-file record with data");
    QTest::newRow("a file cut before its end record is refused")
        << QByteArray(":040000005634120060\n") << QStringLiteral("line 1: no end-of-file record (truncated file?)");
    QTest::newRow("an empty file is refused")
        << QByteArray() << QStringLiteral("line 0: no end-of-file record (truncated file?)");
}

void TestFirmwareHex::hexRecordsAreVerified()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    const HexParse parse = parseIntelHex(text);
    QCOMPARE(parse.ok, error.isEmpty());
    QCOMPARE(parse.error, error);
}

void TestFirmwareHex::addressRecordsMoveTheData()
{
    // Extended linear address 0x0001 then data at 0x0010; extended segment
    // address 0x1000 then data at 0x0004.
    const HexParse parse = parseIntelHex(":020000040001F9\n:040010000180FE006D\n"
                                         ":020000021000EC\n:0200040001FFFA\n:00000001FF\n");
    QVERIFY2(parse.ok, qPrintable(parse.error));
    QCOMPARE(parse.chunks.size(), 2);
    QCOMPARE(parse.chunks[0].address, quint32(0x10010));
    QCOMPARE(parse.chunks[0].bytes, QByteArray("\x01\x80\xFE\x00", 4));
    QCOMPARE(parse.chunks[1].address, quint32(0x10004));
    QCOMPARE(parse.chunks[1].bytes, QByteArray("\x01\xFF", 2));
}

void TestFirmwareHex::buildingRefusesWhatNoKernelCouldTake_data()
{
    QTest::addColumn<QList<HexChunk>>("chunks");
    QTest::addColumn<int>("blocks");   // 0 when refused
    QTest::addColumn<QString>("error");

    QTest::newRow("the last instruction of program space is taken")
        << QList<HexChunk>{{0x1FFFFFC, QByteArray("\x01\x02\x03\x00", 4)}} << 1 << QString();
    QTest::newRow("data beyond the 24-bit program space is refused")
        << QList<HexChunk>{{0x2000000, QByteArray("\x01", 1)}} << 0
        << QStringLiteral("data at byte address 0x2000000 lies outside the 24-bit program memory");
    QTest::newRow("only phantom bytes are no program")
        << QList<HexChunk>{{0x3, QByteArray("\x00", 1)}, {0x7, QByteArray("\x00", 1)}} << 0
        << QStringLiteral("the file holds no program data");

    QList<HexChunk> pages299, pages300;
    for (quint32 p = 0; p < 300; ++p) {
        const HexChunk c{p * 2048, QByteArray("\x00\x00\x00\x00", 4)};
        if (p < 299)
            pages299 << c;
        pages300 << c;
    }
    QTest::newRow("299 pages make 299 blocks") << pages299 << 299 << QString();
    QTest::newRow("300 pages are more than the loader takes") << pages300 << 0
                                                               << QStringLiteral("the program needs more than 299 blocks");
}

void TestFirmwareHex::buildingRefusesWhatNoKernelCouldTake()
{
    QFETCH(QList<HexChunk>, chunks);
    QFETCH(int, blocks);
    QFETCH(QString, error);
    const ImageBuild build = buildImageFile(chunks);
    QCOMPARE(build.ok, blocks > 0);
    QCOMPARE(build.error, error);
    QCOMPARE(build.blockCount, blocks);
    if (build.ok) {
        const ImageCheck check = checkImageBytes(build.file);
        QVERIFY(check.ok);
        QCOMPARE(check.blockCount, blocks);
    }
}

int TestFirmwareHex::runFwmaker(const QString &folder, const QStringList &args, QByteArray *err)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(QStringLiteral(FWMAKER_PATH), args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return -1;
    if (err)
        *err = p.readAllStandardError();
    return p.exitCode();
}

void TestFirmwareHex::fwmakerOutputDecodesBackToTheHexData()
{
    QTemporaryDir dir;
    writeAll(dir.filePath(QStringLiteral("program.hex")), programHex);
    QCOMPARE(runFwmaker(dir.path(), {QStringLiteral("program.hex")}), 0);

    ScriptedOperator ui;
    FirmwareImage image;
    QVERIFY(loadImage(dir.filePath(QStringLiteral("fwimg.fwimg")), image, ui));
    verifyPages(image, programPages);
}

void TestFirmwareHex::fwmakerRefusesABadFileWithoutWritingAnything_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("a bad record checksum")
        << QByteArray(":04000000563412005F\n:00000001FF\n") << QStringList{QStringLiteral("in.hex")} << 1
        << QByteArray("line 1: bad record checksum");
    QTest::newRow("a file cut short") << QByteArray(":040000005634120060\n") << QStringList{QStringLiteral("in.hex")}
                                      << 1 << QByteArray("no end-of-file record");
    QTest::newRow("a missing file") << QByteArray() << QStringList{QStringLiteral("absent.hex")} << 1
                                    << QByteArray("cannot open");
    QTest::newRow("no file named") << QByteArray() << QStringList{} << 2 << QByteArray("expected exactly one HEX file");
}

void TestFirmwareHex::fwmakerRefusesABadFileWithoutWritingAnything()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, message);
    QTemporaryDir dir;
    if (!text.isEmpty())
        writeAll(dir.filePath(QStringLiteral("in.hex")), text);
    QByteArray err;
    QCOMPARE(runFwmaker(dir.path(), args, &err), exitCode);
    QVERIFY2(err.contains(message), err.constData());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("fwimg.fwimg"))));
}

ConverterSetup TestFirmwareHex::setupIn(const QTemporaryDir &dir)
{
    QDir(dir.path()).mkdir(QStringLiteral("src"));
    QDir(dir.path()).mkdir(QStringLiteral("work"));
    ConverterSetup s;
    s.converter = QStringLiteral(FWMAKER_PATH);
    s.sourceFolder = dir.filePath(QStringLiteral("src"));
    s.workFolder = dir.filePath(QStringLiteral("work"));
    return s;
}

void TestFirmwareHex::cabinetConversionMakesBothImagesInOrder()
{
    QTemporaryDir dir;
    const ConverterSetup s = setupIn(dir);
    writeAll(s.sourceFolder + QStringLiteral("/incubator.hex"), programHex);
    writeAll(s.sourceFolder + QStringLiteral("/indicator.hex"), tinyHex);
    for (const char *stale : {"fwimg.main", "fwimg.ind", "fwimg.fwimg"})
        writeAll(s.workFolder + QLatin1Char('/') + QLatin1String(stale), "old");

    ScriptedOperator ui;
    QVERIFY(convertHexImages(ImageKind::Cabinet, ui, s));
    QCOMPARE(ui.log, QStringList({QStringLiteral("Запуск fwmaker для 'incubator.hex'..."),
                                  QStringLiteral("Запуск fwmaker для 'indicator.hex'...")}));
    QVERIFY(!QFile::exists(s.workFolder + QStringLiteral("/fwimg.fwimg")));

    FirmwareImage main, indicator;
    QVERIFY(loadImage(s.workFolder + QStringLiteral("/fwimg.main"), main, ui));
    verifyPages(main, programPages);
    QVERIFY(loadImage(s.workFolder + QStringLiteral("/fwimg.ind"), indicator, ui));
    verifyPages(indicator, {{0x000000, {{0, 0x123456}}}});
}

void TestFirmwareHex::collectorConversionMakesItsImage()
{
    QTemporaryDir dir;
    const ConverterSetup s = setupIn(dir);
    writeAll(s.sourceFolder + QStringLiteral("/collector.hex"), tinyHex);
    writeAll(s.workFolder + QStringLiteral("/fwimg.col"), "old");

    ScriptedOperator ui;
    QVERIFY(convertHexImages(ImageKind::Collector, ui, s));
    QCOMPARE(ui.log, QStringList({QStringLiteral("Запуск fwmaker для 'collector.hex'..."), QStringLiteral("Готово."),
                                  QString()}));
    FirmwareImage image;
    QVERIFY(loadImage(s.workFolder + QStringLiteral("/fwimg.col"), image, ui));
    verifyPages(image, {{0x000000, {{0, 0x123456}}}});
}

void TestFirmwareHex::aFailedConversionLeavesTheImageMissing()
{
    QTemporaryDir dir;
    const ConverterSetup s = setupIn(dir);
    writeAll(s.sourceFolder + QStringLiteral("/collector.hex"), ":04000000563412005F\n:00000001FF\n");
    writeAll(s.workFolder + QStringLiteral("/fwimg.col"), "old");

    ScriptedOperator ui;
    QVERIFY(convertHexImages(ImageKind::Collector, ui, s));
    FirmwareImage image;
    QVERIFY(!loadImage(s.workFolder + QStringLiteral("/fwimg.col"), image, ui));
    QCOMPARE(ui.log.last(), QStringLiteral("Ошибка открытия файла"));
}

void TestFirmwareHex::withoutConverterOrSourceNothingIsTouched_data()
{
    QTest::addColumn<bool>("converterPresent");
    QTest::addColumn<bool>("sourcePresent");
    QTest::addColumn<int>("kind");
    QTest::newRow("cabinet images stay when the converter is missing") << false << true << int(ImageKind::Cabinet);
    QTest::newRow("cabinet images stay when incubator.hex is missing") << true << false << int(ImageKind::Cabinet);
    QTest::newRow("the collector image stays when the converter is missing") << false << true << int(ImageKind::Collector);
    QTest::newRow("the collector image stays when collector.hex is missing") << true << false << int(ImageKind::Collector);
}

void TestFirmwareHex::withoutConverterOrSourceNothingIsTouched()
{
    QFETCH(bool, converterPresent);
    QFETCH(bool, sourcePresent);
    QFETCH(int, kind);
    QTemporaryDir dir;
    ConverterSetup s = setupIn(dir);
    if (!converterPresent)
        s.converter = dir.filePath(QStringLiteral("no-such-fwmaker"));
    if (sourcePresent) {
        writeAll(s.sourceFolder + QStringLiteral("/incubator.hex"), tinyHex);
        writeAll(s.sourceFolder + QStringLiteral("/collector.hex"), tinyHex);
    } else {
        // The indicator's source alone does not qualify.
        writeAll(s.sourceFolder + QStringLiteral("/indicator.hex"), tinyHex);
    }
    const QStringList images{QStringLiteral("fwimg.main"), QStringLiteral("fwimg.ind"), QStringLiteral("fwimg.col"),
                             QStringLiteral("fwimg.fwimg")};
    for (const QString &name : images)
        writeAll(s.workFolder + QLatin1Char('/') + name, name.toLatin1());

    ScriptedOperator ui;
    QVERIFY(!convertHexImages(ImageKind(kind), ui, s));
    QVERIFY(ui.log.isEmpty());
    for (const QString &name : images)
        QCOMPARE(readAll(s.workFolder + QLatin1Char('/') + name), name.toLatin1());
}

QTEST_GUILESS_MAIN(TestFirmwareHex)
#include "test_firmware_hex.moc"
