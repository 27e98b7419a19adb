// The converter's input: any text is parsed or refused with a reason, and an
// accepted program builds an image the loader accepts, or is refused. Half
// the inputs are raw text; the other half are turned into well-formed records
// first, so that the address handling and the image builder get exercised
// rather than only the checksum test.
#include "firmware/firmwareimage.h"
#include "firmware/hexfile.h"
#include "firmware/imagebuilder.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Each record: type (low three bits), address (two bytes), length (one byte,
// up to 32), then that many data bytes.
QByteArray wellFormedRecords(const uint8_t *data, size_t size)
{
    QByteArray text;
    size_t pos = 0;
    while (pos + 4 <= size) {
        const uint8_t type = data[pos] & 0x07;
        const uint8_t hi = data[pos + 1], lo = data[pos + 2];
        size_t count = data[pos + 3] % 33;
        pos += 4;
        count = std::min(count, size - pos);
        QByteArray record;
        record += char(count);
        record += char(hi);
        record += char(lo);
        record += char(type);
        record += QByteArray(reinterpret_cast<const char *>(data + pos), qsizetype(count));
        pos += count;
        uint8_t sum = 0;
        for (char c : record)
            sum = uint8_t(sum + uint8_t(c));
        record += char(uint8_t(-sum));
        text += ':' + record.toHex().toUpper() + "\r\n";
    }
    return text + ":00000001FF\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray text = (data[0] & 1)
                                ? wellFormedRecords(data + 1, size - 1)
                                : QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const HexParse parse = parseIntelHex(text);
    if (parse.ok == !parse.error.isEmpty())
        std::abort();
    if (!parse.ok)
        return 0;
    const ImageBuild build = buildImageFile(parse.chunks);
    if (build.ok == !build.error.isEmpty())
        std::abort();
    if (build.ok) {
        const ImageCheck check = checkImageBytes(build.file);
        if (!check.ok || check.blockCount != build.blockCount)
            std::abort();
    }
    return 0;
}
