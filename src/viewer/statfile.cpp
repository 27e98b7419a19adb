#include "viewer/statfile.h"

#include "viewer/statformat.h"

#include <QFile>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#endif

using namespace statformat;

StatFile::StatFile()
{
    m_index.reserve(maxRecords);
}

bool StatFile::read(const QString &path)
{
    clear();
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        release();
        return false;
    }
#if defined(Q_OS_UNIX) && defined(POSIX_FADV_SEQUENTIAL)
    posix_fadvise(file.handle(), 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    const qint64 size = file.size();
    if (size < 0 || size > maxFileSize) {
        release();
        return false;
    }
    // Reuse the previous capacity: the same day files are opened again and again.
    m_image.resize(qsizetype(size));
    const qint64 got = size ? file.read(m_image.data(), size) : 0;
    if (got != size) {
        release();
        return false;
    }
    scan();
    return true;
}

void StatFile::setImage(QByteArray image)
{
    clear();
    m_image = std::move(image);
    scan();
}

void StatFile::clear()
{
    m_image.truncate(0);
    m_index.clear();
    m_present.reset();
    m_damaged = 0;
}

void StatFile::scan()
{
    const unsigned char *d = data();
    const size_t size = size_t(m_image.size());
    // Consecutive records usually list the same cabinets: compare with the
    // last list instead of walking it again.
    const unsigned char *lastNumbers = nullptr;
    unsigned lastCount = 0;
    size_t offset = 0;
    while (offset < size) {
        const size_t left = size - offset;
        if (left < size_t(recordHeaderSize)) {
            ++m_damaged;
            break;
        }
        const unsigned n = d[offset + 2];
        const size_t length = recordSize(n);
        if (left < length) {
            ++m_damaged;
            break;
        }
        // Records of a day mostly have one length: fetch a few ahead.
        if (left > 8 * length)
            prefetch(d + offset + 8 * length);
        if (slotOfTime(readU16(d + offset)) >= slotsPerDay || m_index.size() >= size_t(maxRecords)) {
            ++m_damaged;
        } else {
            m_index.push_back(uint32_t(offset));
            const unsigned char *numbers = d + offset + recordHeaderSize;
            if (n != lastCount || (n && std::memcmp(numbers, lastNumbers, n) != 0)) {
                for (unsigned i = 0; i < n; ++i) {
                    const auto number = int8_t(numbers[i]);
                    if (number > 0 && number < 64)
                        m_present.set(size_t(number));
                }
                lastNumbers = numbers;
                lastCount = n;
            }
        }
        offset += length;
    }
}

void StatFile::release()
{
    clear();
    m_image = QByteArray();
}

QList<int> StatFile::cabinets() const
{
    QList<int> list;
    for (int n = 1; n < 64; ++n)
        if (m_present.test(size_t(n)))
            list.append(n);
    return list;
}
