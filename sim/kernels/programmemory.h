#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QMap>

// Program memory as a simulated boot kernel writes it: one erase page per
// block, the blocks laid out as firmware/imagelayout.h says.
class ProgramMemory
{
public:
    enum class BlockCheck { Good, WrongSize, WrongVersion, BadAddress, BadChecksum };

    static BlockCheck check(QByteArrayView block);

    // Writes the page of a good block (a page written again is replaced).
    BlockCheck write(QByteArrayView block);

    // The 24-bit instruction at program counter pc; 0xFFFFFF where nothing was written.
    quint32 instruction(quint32 pc) const;
    QList<quint32> pageAddresses() const { return pages_.keys(); }
    bool isEmpty() const { return pages_.isEmpty(); }
    void clear() { pages_.clear(); }

private:
    QMap<quint32, QByteArray> pages_;   // page address (pc) -> 1536 page bytes
};
