#pragma once
#include <QByteArray>
#include <QMap>
#include <QtGlobal>
#include <initializer_list>

// A small 16-bit PIC program: instructions by program counter, and the Intel
// HEX text the developer's tools would write for it (four bytes per
// instruction at byte address 2 * pc, the fourth a phantom zero).
struct HexProgram
{
    QMap<quint32, quint32> instructions;   // pc -> 24-bit instruction

    // `count` instructions at the start of each page, their values made from
    // the pc and a seed; some have bytes of 0x80 and above.
    static HexProgram onPages(std::initializer_list<quint32> pageAddresses, quint32 seed, int count = 40)
    {
        HexProgram p;
        for (quint32 page : pageAddresses)
            for (int i = 0; i < count; ++i) {
                const quint32 pc = page + 2 * quint32(i);
                p.instructions.insert(pc, (pc * 2654435761u + seed) & 0xFFFFFF);
            }
        return p;
    }

    QByteArray hexText() const
    {
        QByteArray text;
        quint32 upper = 0;
        auto record = [&text](quint8 type, quint16 address, const QByteArray &data) {
            QByteArray r;
            r.append(char(data.size()));
            r.append(char(address >> 8));
            r.append(char(address & 0xFF));
            r.append(char(type));
            r.append(data);
            quint8 sum = 0;
            for (char c : r)
                sum += quint8(c);
            r.append(char(quint8(-sum)));
            text += ':' + r.toHex().toUpper() + "\r\n";
        };
        // Up to four consecutive instructions per record, never across 64 KiB.
        auto it = instructions.cbegin();
        while (it != instructions.cend()) {
            const quint32 start = it.key() * 2;
            if (start >> 16 != upper) {
                upper = start >> 16;
                record(0x04, 0, QByteArray::fromHex(QByteArray::number(upper, 16).rightJustified(4, '0')));
            }
            QByteArray data;
            quint32 next = it.key();
            while (it != instructions.cend() && it.key() == next && data.size() < 16 && (it.key() * 2) >> 16 == upper) {
                const quint32 v = it.value();
                data.append(char(v & 0xFF)).append(char(v >> 8 & 0xFF)).append(char(v >> 16 & 0xFF)).append('\0');
                next += 2;
                ++it;
            }
            record(0x00, quint16(start & 0xFFFF), data);
        }
        record(0x01, 0, {});
        return text;
    }

    // Pages (pc of their first instruction) that hold any instruction.
    QList<quint32> pages() const
    {
        QList<quint32> result;
        for (auto it = instructions.cbegin(); it != instructions.cend(); ++it) {
            const quint32 page = it.key() - it.key() % 1024;
            if (result.isEmpty() || result.last() != page)
                result << page;
        }
        return result;
    }
};
