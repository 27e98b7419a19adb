#pragma once
// Builds day statistics files byte by byte for tests. The layout is written
// out here again on purpose, so that a change in the reader shows up.
#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QtEndian>
#include <cstring>

struct TestBlock
{
    int cabinet = 1;
    quint16 tCount = 1;
    float tSet = 37.5f;
    float tSum = 37.5f;
    quint16 hCount = 1;
    float hSet = 55.0f;
    float hSum = 55.0f;
    quint16 alarms = 0;
    quint16 states = 0;
};

class DayFileBuilder
{
public:
    // FAT time word: hours in bits 15-11, minutes 10-5, seconds / 2 in 4-0.
    static quint16 time(int h, int m, int s) { return quint16((h << 11) | (m << 5) | (s / 2)); }

    DayFileBuilder &record(quint16 timeWord, const QList<TestBlock> &blocks)
    {
        appendU16(timeWord);
        bytes.append(char(blocks.size()));
        for (const TestBlock &b : blocks)
            bytes.append(char(b.cabinet));
        for (const TestBlock &b : blocks) {
            appendU16(b.tCount);
            appendF32(b.tSet);
            appendF32(b.tSum);
            appendU16(b.hCount);
            appendF32(b.hSet);
            appendF32(b.hSum);
            appendU16(b.alarms);
            appendU16(b.states);
            appendU16(0xBEEF);   // two bytes the reader skips
        }
        return *this;
    }

    DayFileBuilder &record(int h, int m, int s, const QList<TestBlock> &blocks)
    {
        return record(time(h, m, s), blocks);
    }

    bool save(const QString &path) const
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }

    QByteArray bytes;

private:
    void appendU16(quint16 v)
    {
        char b[2];
        qToLittleEndian(v, b);
        bytes.append(b, 2);
    }
    void appendF32(float f)
    {
        quint32 bits;
        std::memcpy(&bits, &f, 4);
        char b[4];
        qToLittleEndian(bits, b);
        bytes.append(b, 4);
    }
};
