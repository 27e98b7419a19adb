// Image files: whatever the bytes, the check answers and a passed image has
// blocks that lie inside what was read.
#include "firmware/firmwareimage.h"
#include "firmware/imagecrc.h"
#include "firmware/imagelayout.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    int announced = -1;
    const ImageCheck check = checkImageBytes(bytes, [&](int n) { announced = n; });
    if (check.ok != check.failureLogLine.isEmpty())
        std::abort();
    if (check.ok) {
        if (check.blockCount < 1 || check.blockCount > imagelayout::maxBlocks || announced != check.blockCount)
            std::abort();
        FirmwareImage image;
        image.bytes = bytes.first(qMin(bytes.size(), qsizetype(imagelayout::loadLimit))).toByteArray();
        image.blockCount = check.blockCount;
        for (int j = 0; j < image.blockCount; ++j) {
            if (image.block(j).size() != imagelayout::blockSize)
                std::abort();
        }
        const QByteArrayView blocks = QByteArrayView(image.bytes).sliced(imagelayout::headerSize,
                                                                          qsizetype(imagelayout::blockSize) * check.blockCount);
        (void)ImageCrc16(blocks);
    }
    return 0;
}
