#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <bitset>
#include <cstdint>
#include <vector>

// One day statistics file held in memory: the whole image, the offsets of its
// records and the cabinets that occur in it. Records that would read past the
// end of the image, lie beyond the room of the index or carry a time outside
// the day are not indexed; they are counted as damaged instead.
class StatFile
{
public:
    StatFile();

    // Reads the whole file in one call and indexes it. On failure (cannot be
    // opened, short read, absurdly large) the image is released and false is
    // returned; the caller reports it.
    bool read(const QString &path);

    // Takes an image already in memory (tests, fuzzing, generated days).
    void setImage(QByteArray image);

    // Forgets the records; the buffer is kept for the next read.
    void clear();
    // Forgets everything and frees the buffer.
    void release();

    const unsigned char *data() const { return reinterpret_cast<const unsigned char *>(m_image.constData()); }
    qsizetype size() const { return m_image.size(); }

    int recordCount() const { return int(m_index.size()); }
    uint32_t recordOffset(int i) const { return m_index[size_t(i)]; }

    bool hasCabinet(int number) const { return number > 0 && number < 64 && m_present.test(size_t(number)); }
    QList<int> cabinets() const;   // ascending

    // Records skipped by the scan: cut short at the end, beyond the index, or
    // with a time word outside the day.
    int damagedRecords() const { return m_damaged; }

    // A well-formed day never exceeds ~66 MB (9640 records of 255 cabinets).
    static constexpr qint64 maxFileSize = qint64(256) << 20;

private:
    void scan();

    QByteArray m_image;
    std::vector<uint32_t> m_index;
    std::bitset<64> m_present;
    int m_damaged = 0;
};
