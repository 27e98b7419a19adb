#include <QtTest>

#include "firmware/firmwareimage.h"
#include "firmware/imagecrc.h"
#include "link/crc16.h"
#include "link/operatorui.h"

namespace {

const QByteArray signature("KIVO pic24 secure boot kernel\r\n\0", 32);

QByteArray blockPattern(int blocks)
{
    QByteArray data(1544 * blocks, Qt::Uninitialized);
    for (qsizetype i = 0; i < data.size(); ++i)
        data[i] = char((i * 7 + i / 1544) & 0xFF);   // plenty of bytes of 0x80 and above
    return data;
}

QByteArray littleEndian(quint16 v)
{
    QByteArray out;
    out += char(v & 0xFF);
    out += char(v >> 8);
    return out;
}

// A well-formed image file of n blocks.
QByteArray imageFile(int blocks, QByteArray trailing = {})
{
    const QByteArray data = blockPattern(blocks);
    return signature + QByteArray("\x00\x00", 2) + data + littleEndian(ImageCrc16(data)) + trailing;
}

}  // namespace

class TestFirmwareImage : public QObject
{
    Q_OBJECT
private slots:
    void imageChecksumWidensBytesAsSigned_data();
    void imageChecksumWidensBytesAsSigned();
    void imageFilesAreCheckedInOrder_data();
    void imageFilesAreCheckedInOrder();
    void aLoadedImageHandsOutItsBlocksUnchanged();
    void theBlockCountIsReportedOnceTheSignatureHasPassed_data();
    void theBlockCountIsReportedOnceTheSignatureHasPassed();
    void aMissingFileCannotBeOpened();
    void aFailedLoadLeavesNoImageBehind();

private:
    QTemporaryDir dir_;
    QString writeFile(const QString &name, const QByteArray &bytes);
};

QString TestFirmwareImage::writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = dir_.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write the fixture %s", qPrintable(path));
    return path;
}

void TestFirmwareImage::imageChecksumWidensBytesAsSigned_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("imageSum");
    QTest::addColumn<int>("linkSum");
    QTest::newRow("abc is the same under both") << QByteArray("abc") << 0x5749 << 0x5749;
    QTest::newRow("the nine digits are the same under both") << QByteArray("123456789") << 0x4B37 << 0x4B37;
    QTest::newRow("the single byte 0x80 differs") << QByteArray("\x80", 1) << 0xE041 << 0xE0BE;
    QTest::newRow("high bytes around a zero differ") << QByteArray("\xFF\x00\xC1", 3) << 0x903E << 0x6080;
    QTest::newRow("nothing leaves the start value") << QByteArray() << 0xFFFF << 0xFFFF;
}

void TestFirmwareImage::imageChecksumWidensBytesAsSigned()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, imageSum);
    QFETCH(int, linkSum);
    QCOMPARE(ImageCrc16(bytes), quint16(imageSum));
    QCOMPARE(crc16(bytes), quint16(linkSum));
}

void TestFirmwareImage::imageFilesAreCheckedInOrder_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("blocks");        // 0 when refused
    QTest::addColumn<QString>("failure");

    const QString size = QStringLiteral("Неверный размер файла");
    const QString sig = QStringLiteral("Неверная сигнатура файла");
    const QString damaged = QStringLiteral("Файл поврежден");

    QByteArray one = imageFile(1);
    QCOMPARE(one.size(), 1580);
    QTest::newRow("exactly 1580 bytes load as one block") << one << 1 << QString();
    QTest::newRow("1579 bytes are a size error though the signature is right") << one.first(1579) << 0 << size;
    QTest::newRow("an empty file is a size error") << QByteArray() << 0 << size;
    QTest::newRow("1543 trailing bytes are ignored") << imageFile(2, QByteArray(1543, '\x5A')) << 2 << QString();
    QTest::newRow("1544 trailing bytes are taken as a block and break the checksum")
        << imageFile(2, QByteArray(1544, '\x5A')) << 0 << damaged;
    QTest::newRow("299 blocks load") << imageFile(299) << 299 << QString();
    QTest::newRow("300 blocks are cut inside the checksum and reported damaged") << imageFile(300) << 0 << damaged;

    QByteArray wrongLetter = one;
    wrongLetter[5] = 'P';
    QTest::newRow("a wrong signature letter") << wrongLetter << 0 << sig;
    QByteArray noZero = one;
    noZero[31] = ' ';
    QTest::newRow("a signature without its zero byte") << noZero << 0 << sig;
    QByteArray badSigShort = one.first(1579);
    badSigShort[0] = 'X';
    QTest::newRow("size is checked before the signature") << badSigShort << 0 << size;

    QByteArray headerBytes = one;
    headerBytes[32] = '\xFF';
    headerBytes[33] = '\xFF';
    QTest::newRow("the two bytes after the signature are not interpreted") << headerBytes << 1 << QString();

    QByteArray changedBlock = one;
    changedBlock[34 + 700] = char(changedBlock[34 + 700] ^ 0x01);
    QTest::newRow("a changed block byte is damage") << changedBlock << 0 << damaged;

    const QByteArray data = blockPattern(1);
    const quint16 sum = ImageCrc16(data);
    QVERIFY((sum & 0xFF) != (sum >> 8));
    QTest::newRow("a checksum stored high byte first is damage")
        << signature + QByteArray(2, '\0') + data + littleEndian(quint16(sum << 8 | sum >> 8)) << 0 << damaged;
    QVERIFY(crc16(data) != sum);
    QTest::newRow("the link's crc16 in place of ImageCrc16 is damage")
        << signature + QByteArray(2, '\0') + data + littleEndian(crc16(data)) << 0 << damaged;
}

void TestFirmwareImage::imageFilesAreCheckedInOrder()
{
    QFETCH(QByteArray, file);
    QFETCH(int, blocks);
    QFETCH(QString, failure);
    const QString path = writeFile(QStringLiteral("image.bin"), file);

    const ImageCheck check = imageCheck(path);
    QCOMPARE(check.ok, blocks > 0);
    QCOMPARE(check.blockCount, blocks);
    QCOMPARE(check.failureLogLine, failure);

    ScriptedOperator ui;
    FirmwareImage image;
    QCOMPARE(loadImage(path, image, ui), blocks > 0);
    QCOMPARE(image.blockCount, blocks);
    QStringList expectedLog{QStringLiteral("Считывание прошивки..."), path};
    if (!failure.isEmpty())
        expectedLog << failure;
    QCOMPARE(ui.log, expectedLog);
}

void TestFirmwareImage::aLoadedImageHandsOutItsBlocksUnchanged()
{
    const QByteArray file = imageFile(3, QByteArray(100, '\x01'));
    const QString path = writeFile(QStringLiteral("three.bin"), file);
    ScriptedOperator ui;
    FirmwareImage image;
    QVERIFY(loadImage(path, image, ui));
    const QByteArray data = blockPattern(3);
    for (int j = 0; j < 3; ++j)
        QCOMPARE(image.block(j).toByteArray(), data.mid(1544 * j, 1544));
    QVERIFY(image.block(3).isEmpty());
    QVERIFY(image.block(-1).isEmpty());
}

void TestFirmwareImage::theBlockCountIsReportedOnceTheSignatureHasPassed_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("reported");   // -1: never
    QByteArray damaged = imageFile(4);
    damaged[40] = char(damaged[40] ^ 0x10);
    QByteArray badSignature = imageFile(4);
    badSignature[0] = 'k';
    QTest::newRow("a good file reports its blocks") << imageFile(4) << 4;
    QTest::newRow("a damaged file has reported them before the checksum fails") << damaged << 4;
    QTest::newRow("a bad signature reports nothing") << badSignature << -1;
}

void TestFirmwareImage::theBlockCountIsReportedOnceTheSignatureHasPassed()
{
    QFETCH(QByteArray, file);
    QFETCH(int, reported);
    const QString path = writeFile(QStringLiteral("gauge.bin"), file);
    ScriptedOperator ui;
    FirmwareImage image;
    int seen = -1;
    loadImage(path, image, ui, [&](int n) { seen = n; });
    QCOMPARE(seen, reported);
}

void TestFirmwareImage::aMissingFileCannotBeOpened()
{
    const QString path = dir_.filePath(QStringLiteral("fwimg.none"));
    QCOMPARE(imageCheck(path).failureLogLine, QStringLiteral("Ошибка открытия файла"));
    QVERIFY(!imageCheck(path).ok);

    ScriptedOperator ui;
    FirmwareImage image;
    QVERIFY(!loadImage(path, image, ui));
    QCOMPARE(ui.log, QStringList({QStringLiteral("Считывание прошивки..."), path,
                                  QStringLiteral("Ошибка открытия файла")}));
}

void TestFirmwareImage::aFailedLoadLeavesNoImageBehind()
{
    ScriptedOperator ui;
    FirmwareImage image;
    QVERIFY(loadImage(writeFile(QStringLiteral("good.bin"), imageFile(2)), image, ui));
    QCOMPARE(image.blockCount, 2);
    QByteArray damaged = imageFile(2);
    damaged[100] = char(damaged[100] ^ 0x01);
    QVERIFY(!loadImage(writeFile(QStringLiteral("bad.bin"), damaged), image, ui));
    QCOMPARE(image.blockCount, 0);
    QVERIFY(image.block(0).isEmpty());
}

QTEST_GUILESS_MAIN(TestFirmwareImage)
#include "test_firmware_image.moc"
