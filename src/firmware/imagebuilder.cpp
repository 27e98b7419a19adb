#include "imagebuilder.h"

#include "imagecrc.h"
#include "imagelayout.h"

#include <map>

using namespace imagelayout;

namespace {

ImageBuild fail(const QString &what)
{
    ImageBuild b;
    b.error = what;
    return b;
}

}  // namespace

ImageBuild buildImageFile(const QList<HexChunk> &chunks)
{
    constexpr quint64 hexAddressLimit = quint64(pcLimit) * 2;

    // Page start (program counter units) -> page bytes. Stops growing at the
    // block limit, so a hostile file cannot make it large.
    std::map<quint32, QByteArray> pages;
    for (const HexChunk &chunk : chunks) {
        for (qsizetype i = 0; i < chunk.bytes.size(); ++i) {
            const quint64 hexAddress = quint64(chunk.address) + quint64(i);
            if (hexAddress >= hexAddressLimit)
                return fail(QStringLiteral("data at byte address 0x%1 lies outside the 24-bit program memory")
                                .arg(hexAddress, 0, 16));
            const quint32 slot = quint32(hexAddress % hexBytesPerInstruction);
            if (slot == 3)
                continue;   // phantom byte of the instruction
            const quint32 pageStart = quint32(hexAddress / hexBytesPerPage) * pagePcSpan;
            auto it = pages.find(pageStart);
            if (it == pages.end()) {
                if (int(pages.size()) == maxBlocks)
                    return fail(QStringLiteral("the program needs more than %1 blocks").arg(maxBlocks));
                it = pages.emplace(pageStart, QByteArray(pageDataSize, char(erasedByte))).first;
            }
            const quint32 instruction = quint32(hexAddress % hexBytesPerPage) / hexBytesPerInstruction;
            it->second[instruction * instructionBytes + slot] = chunk.bytes[i];
        }
    }
    if (pages.empty())
        return fail(QStringLiteral("the file holds no program data"));

    ImageBuild b;
    b.blockCount = int(pages.size());
    b.file.reserve(fileSize(b.blockCount));
    b.file.append(bootSignature, signatureSize);
    b.file.append(char(b.blockCount & 0xFF));
    b.file.append(char(b.blockCount >> 8));
    for (const auto &[pageStart, data] : pages) {
        uchar header[blockHeaderSize];
        BlockHeader h;
        h.pageAddress = pageStart;
        h.pageCrc = ImageCrc16(data);
        writeBlockHeader(header, h);
        b.file.append(reinterpret_cast<const char *>(header), blockHeaderSize);
        b.file.append(data);
    }
    const quint16 sum = ImageCrc16(QByteArrayView(b.file).sliced(headerSize));
    b.file.append(char(sum & 0xFF));
    b.file.append(char(sum >> 8));
    b.ok = true;
    return b;
}
