// fwmaker FILE.hex: writes "fwimg.fwimg" in the current folder.
#include "firmware/converter.h"
#include "firmware/hexfile.h"
#include "firmware/imagebuilder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <cstdio>

namespace {

// A PIC24 program's HEX file is a few hundred kilobytes; anything far larger
// is not one.
constexpr qint64 maxHexFileSize = 64 * 1024 * 1024;

const char description[] = R"(Converts one 16-bit PIC program in Intel HEX form (as written by the
MPLAB tools) into the firmware image file "fwimg.fwimg" in the current folder,
in the form the incubator program loads and sends to the boot kernels.

Input: an Intel HEX file with records 00 to 05; every record's checksum is
verified and the file must end with an end-of-file record. Each instruction
takes four bytes at byte address 2 * pc: three bytes, low first, then a
phantom byte, which is dropped. Data must lie below byte address 0x2000000
(the 24-bit program space).

Image file (all numbers little-endian):
  0    32        "KIVO pic24 secure boot kernel\r\n" and a zero byte
  32   2         number of blocks n (1 to 299)
  34   1544 * n  blocks, in ascending address order
  ..   2         ImageCrc16 of the 1544 * n block bytes
Block: one erase page of 512 instructions that holds any program data:
  0    4         program-memory address of the page (pc units, multiple of 1024)
  4    1         layout version, 1
  5    1         zero
  6    2         ImageCrc16 of the 1536 page bytes
  8    1536      512 instructions, three bytes each, low byte first;
                 instructions absent from the HEX file are 0xFFFFFF
ImageCrc16: register 0xFFFF; each byte, widened as a signed value, is XORed
in, then eight times: shift right, XOR 0xA001 when a 1 was shifted out.

The output file is written whole or not at all. Exit code 0 on success, 1
when the HEX file cannot be read or is refused, 2 on a usage error.)";

int failWith(const QString &message, int code)
{
    std::fprintf(stderr, "fwmaker: %s\n", qPrintable(message));
    return code;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("fwmaker"));
    QCoreApplication::setApplicationVersion(QStringLiteral(INCUBATOR_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(description));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The Intel HEX file to convert."));
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    if (args.size() != 1)
        return failWith(QStringLiteral("expected exactly one HEX file; see --help"), 2);
    const QString hexPath = args.front();

    QFile hexFile(hexPath);
    if (!hexFile.open(QIODevice::ReadOnly))
        return failWith(QStringLiteral("%1: cannot open: %2").arg(hexPath, hexFile.errorString()), 1);
    const QByteArray text = hexFile.read(maxHexFileSize + 1);
    if (text.size() > maxHexFileSize)
        return failWith(QStringLiteral("%1: larger than %2 bytes, not a program").arg(hexPath).arg(maxHexFileSize), 1);

    const HexParse hex = parseIntelHex(text);
    if (!hex.ok)
        return failWith(QStringLiteral("%1: %2").arg(hexPath, hex.error), 1);
    const ImageBuild image = buildImageFile(hex.chunks);
    if (!image.ok)
        return failWith(QStringLiteral("%1: %2").arg(hexPath, image.error), 1);

    QSaveFile out(QString::fromLatin1(converterOutputFile));
    if (!out.open(QIODevice::WriteOnly) || out.write(image.file) != image.file.size() || !out.commit())
        return failWith(QStringLiteral("%1: cannot write: %2").arg(QString::fromLatin1(converterOutputFile), out.errorString()), 1);

    std::printf("fwmaker: %s -> %s, %d blocks\n", qPrintable(hexPath), converterOutputFile, image.blockCount);
    return 0;
}
