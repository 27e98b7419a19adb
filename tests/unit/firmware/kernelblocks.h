#pragma once
#include "firmware/imagecrc.h"
#include "firmware/imagelayout.h"

#include <QByteArray>

// One block as the converter lays it out: a page address, the layout
// version, the page checksum and 512 instructions, the first few set.
inline QByteArray kernelBlock(quint32 pageAddress, quint32 firstInstruction, quint8 version = 1)
{
    QByteArray page(1536, char(0xFF));
    for (int i = 0; i < 8; ++i) {
        const quint32 v = (firstInstruction + quint32(i) * 0x010203) & 0xFFFFFF;
        page[3 * i] = char(v & 0xFF);
        page[3 * i + 1] = char(v >> 8 & 0xFF);
        page[3 * i + 2] = char(v >> 16 & 0xFF);
    }
    QByteArray block(8, '\0');
    imagelayout::BlockHeader header;
    header.pageAddress = pageAddress;
    header.version = version;
    header.pageCrc = ImageCrc16(page);
    imagelayout::writeBlockHeader(reinterpret_cast<uchar *>(block.data()), header);
    return block + page;
}
