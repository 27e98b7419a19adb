#pragma once
#include <QtGlobal>

// Layout of a firmware image file and of the blocks inside it. Header only, so
// that the converter, the update procedures and a simulated boot kernel read
// one definition.
//
// File:
//   0    32        boot signature "KIVO pic24 secure boot kernel\r\n" and a zero byte
//   32   2         block count, little-endian (ours; the loader does not read it)
//   34   1544 * n  blocks, in the order they are sent
//   ..   2         ImageCrc16 of the n blocks, low byte first
//   up to 1543 trailing bytes are ignored
//
// Block (ours; the host never looks inside, the kernels do):
//   0    4   program-memory address of the page (program counter units,
//            little-endian), a multiple of 1024
//   4    1   layout version, 1
//   5    1   zero
//   6    2   ImageCrc16 of the 1536 page bytes, low byte first
//   8    1536  one erase page: 512 instructions of three bytes each, low byte
//              first; instructions the HEX file leaves out are 0xFFFFFF
//
// In a 16-bit PIC's Intel HEX file every instruction takes four bytes at byte
// address 2 * pc: its three bytes, low first, then a phantom zero byte.
namespace imagelayout {

// --- the file frame ---
inline constexpr int signatureSize = 32;
inline constexpr char bootSignature[signatureSize + 1] = "KIVO pic24 secure boot kernel\r\n";  // + the zero byte
inline constexpr int blockCountOffset = 32;
inline constexpr int headerSize = 34;
inline constexpr int blockSize = 1544;
inline constexpr int checksumSize = 2;
inline constexpr int minimumFileSize = headerSize + blockSize + checksumSize;  // one block
inline constexpr int loadLimit = headerSize + 300 * blockSize;                 // bytes the loader reads
inline constexpr int maxBlocks = (loadLimit - headerSize - checksumSize) / blockSize;

static_assert(minimumFileSize == 1580);
static_assert(loadLimit == 463234);
static_assert(maxBlocks == 299);

constexpr qsizetype blockOffset(int block) { return headerSize + qsizetype(blockSize) * block; }
constexpr qsizetype fileSize(int blocks) { return blockOffset(blocks) + checksumSize; }

// --- our block contents ---
inline constexpr quint8 layoutVersion = 1;
inline constexpr int blockHeaderSize = 8;
inline constexpr int pageInstructions = 512;
inline constexpr int instructionBytes = 3;
inline constexpr int pageDataSize = pageInstructions * instructionBytes;
inline constexpr quint32 pagePcSpan = pageInstructions * 2;   // program counter advances by 2 per instruction
inline constexpr quint32 pcLimit = 0x1000000;                 // 24-bit program space
inline constexpr quint32 hexBytesPerInstruction = 4;          // three bytes and a phantom byte
inline constexpr quint32 hexBytesPerPage = pageInstructions * hexBytesPerInstruction;
inline constexpr quint8 erasedByte = 0xFF;

static_assert(blockHeaderSize + pageDataSize == blockSize);

struct BlockHeader
{
    quint32 pageAddress = 0;   // program counter units
    quint8 version = layoutVersion;
    quint16 pageCrc = 0;       // ImageCrc16 of the page bytes
};

inline BlockHeader readBlockHeader(const uchar *block)
{
    BlockHeader h;
    h.pageAddress = quint32(block[0]) | quint32(block[1]) << 8 | quint32(block[2]) << 16 | quint32(block[3]) << 24;
    h.version = block[4];
    h.pageCrc = quint16(block[6] | block[7] << 8);
    return h;
}

inline void writeBlockHeader(uchar *block, const BlockHeader &h)
{
    block[0] = uchar(h.pageAddress);
    block[1] = uchar(h.pageAddress >> 8);
    block[2] = uchar(h.pageAddress >> 16);
    block[3] = uchar(h.pageAddress >> 24);
    block[4] = h.version;
    block[5] = 0;
    block[6] = uchar(h.pageCrc);
    block[7] = uchar(h.pageCrc >> 8);
}

// The 24-bit instruction at index 0..511 of a block's page.
inline quint32 instructionAt(const uchar *block, int index)
{
    const uchar *p = block + blockHeaderSize + index * instructionBytes;
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16;
}

}  // namespace imagelayout
