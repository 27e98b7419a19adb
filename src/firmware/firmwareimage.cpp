#include "firmwareimage.h"

#include "imagecrc.h"
#include "imagelayout.h"
#include "link/operatorui.h"

#include <QFile>

using namespace imagelayout;

namespace {

struct ReadResult
{
    bool opened = false;
    QByteArray bytes;
};

// Never more than the loader's limit, however large the file (or device) is.
ReadResult readImageFile(const QString &path)
{
    ReadResult r;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return r;
    r.opened = true;
    r.bytes = file.read(loadLimit);
    return r;
}

ImageCheck failure(const QString &line)
{
    ImageCheck c;
    c.failureLogLine = line;
    return c;
}

QString openFailureLine() { return QStringLiteral("Ошибка открытия файла"); }

}  // namespace

QByteArrayView FirmwareImage::block(int j) const
{
    if (j < 0 || j >= blockCount || bytes.size() < blockOffset(j + 1))
        return {};
    return QByteArrayView(bytes).sliced(blockOffset(j), blockSize);
}

ImageCheck checkImageBytes(QByteArrayView bytes, const std::function<void(int)> &signaturePassed)
{
    if (bytes.size() > loadLimit)   // the loader never reads more; neither does the check
        bytes = bytes.first(loadLimit);
    if (bytes.size() < minimumFileSize)
        return failure(QStringLiteral("Неверный размер файла"));
    if (bytes.first(signatureSize) != QByteArrayView(bootSignature, signatureSize))
        return failure(QStringLiteral("Неверная сигнатура файла"));

    // A file of 300 blocks is cut inside its checksum by the read limit and
    // fails below as damaged.
    const int n = int((bytes.size() - headerSize - checksumSize) / blockSize);
    if (signaturePassed)
        signaturePassed(n);

    const qsizetype sumAt = blockOffset(n);
    const quint16 stored = quint16(quint8(bytes[sumAt]) | quint8(bytes[sumAt + 1]) << 8);
    if (ImageCrc16(bytes.sliced(headerSize, qsizetype(blockSize) * n)) != stored)
        return failure(QStringLiteral("Файл поврежден"));

    ImageCheck ok;
    ok.ok = true;
    ok.blockCount = n;
    return ok;
}

ImageCheck imageCheck(const QString &path)
{
    const ReadResult r = readImageFile(path);
    if (!r.opened)
        return failure(openFailureLine());
    return checkImageBytes(r.bytes);
}

bool loadImage(const QString &fileName, FirmwareImage &image, OperatorUi &ui,
               const std::function<void(int)> &signaturePassed)
{
    image.clear();
    ui.flashLog(QStringLiteral("Считывание прошивки..."));
    ui.flashLog(fileName);

    ReadResult r = readImageFile(fileName);
    if (!r.opened) {
        ui.flashLog(openFailureLine());
        return false;
    }
    const ImageCheck check = checkImageBytes(r.bytes, signaturePassed);
    if (!check.ok) {
        ui.flashLog(check.failureLogLine);
        return false;
    }
    image.bytes = std::move(r.bytes);
    image.blockCount = check.blockCount;
    return true;
}
