// Image files: whatever the bytes, the check answers, and a passed image has
// blocks that lie inside what was read. Half the inputs are taken raw; the
// other half are framed as image files first (signature, tiled blocks,
// checksum, trailing bytes, each possibly spoilt), since random bytes almost
// never reach past the size and signature checks.
#include "firmware/firmwareimage.h"
#include "firmware/imagecrc.h"
#include "firmware/imagelayout.h"

#include <cstdint>
#include <cstdlib>

namespace {

QByteArray framedImage(const uint8_t *data, size_t size)
{
    using namespace imagelayout;
    if (size < 4)
        return {};
    // Mostly a few blocks; now and then the sizes around the loader's limit.
    const int blocks = data[1] == 0xA5 ? maxBlocks - 4 + data[0] % 7 : 1 + data[0] % 4;
    const int trailing = (data[2] * 7) % (blockSize + 1);
    const uint8_t spoil = data[3];
    const QByteArray tile = size > 4 ? QByteArray(reinterpret_cast<const char *>(data + 4), qsizetype(size - 4))
                                     : QByteArray(1, '\0');

    QByteArray file(bootSignature, signatureSize);
    file += QByteArray(2, '\0');
    QByteArray payload(qsizetype(blockSize) * blocks, Qt::Uninitialized);
    for (qsizetype i = 0; i < payload.size(); ++i)
        payload[i] = tile[i % tile.size()];
    file += payload;
    const quint16 sum = ImageCrc16(payload);
    file += char(sum & 0xFF);
    file += char(sum >> 8);
    file += QByteArray(trailing, char(spoil));
    if (spoil & 0x01)
        file[spoil % signatureSize] = char(file[spoil % signatureSize] ^ 0x20);
    if (spoil & 0x02)
        file[headerSize + spoil] = char(file[headerSize + spoil] ^ 0x01);
    if (spoil & 0x04)
        file.chop(1 + spoil % 64);
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes = (data[0] & 1) ? framedImage(data + 1, size - 1)
                                           : QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    int announced = -1;
    const ImageCheck check = checkImageBytes(bytes, [&](int n) { announced = n; });
    if (check.ok != check.failureLogLine.isEmpty())
        std::abort();
    if (check.ok) {
        if (check.blockCount < 1 || check.blockCount > imagelayout::maxBlocks || announced != check.blockCount)
            std::abort();
        FirmwareImage image;
        image.bytes = bytes.first(qMin(bytes.size(), qsizetype(imagelayout::loadLimit)));
        image.blockCount = check.blockCount;
        for (int j = 0; j < image.blockCount; ++j) {
            if (image.block(j).size() != imagelayout::blockSize)
                std::abort();
        }
        if (!image.block(image.blockCount).isEmpty())
            std::abort();
    }
    return 0;
}
