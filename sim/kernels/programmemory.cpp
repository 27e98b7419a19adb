#include "programmemory.h"

#include "firmware/imagecrc.h"
#include "firmware/imagelayout.h"

using namespace imagelayout;

ProgramMemory::BlockCheck ProgramMemory::check(QByteArrayView block)
{
    if (block.size() != blockSize)
        return BlockCheck::WrongSize;
    const BlockHeader header = readBlockHeader(reinterpret_cast<const uchar *>(block.data()));
    if (header.version != layoutVersion)
        return BlockCheck::WrongVersion;
    if (header.pageAddress % pagePcSpan != 0 || header.pageAddress >= pcLimit)
        return BlockCheck::BadAddress;
    if (ImageCrc16(block.sliced(blockHeaderSize)) != header.pageCrc)
        return BlockCheck::BadChecksum;
    return BlockCheck::Good;
}

ProgramMemory::BlockCheck ProgramMemory::write(QByteArrayView block)
{
    const BlockCheck result = check(block);
    if (result == BlockCheck::Good) {
        const BlockHeader header = readBlockHeader(reinterpret_cast<const uchar *>(block.data()));
        pages_.insert(header.pageAddress, block.sliced(blockHeaderSize).toByteArray());
    }
    return result;
}

quint32 ProgramMemory::instruction(quint32 pc) const
{
    const quint32 pageAddress = pc - pc % pagePcSpan;
    const auto it = pages_.constFind(pageAddress);
    if (it == pages_.constEnd())
        return 0xFFFFFF;
    const int index = int((pc - pageAddress) / 2);
    const auto *p = reinterpret_cast<const uchar *>(it->constData()) + index * instructionBytes;
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16;
}
