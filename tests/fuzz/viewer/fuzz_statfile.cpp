// Feeds arbitrary bytes to the day file reader and builds the day of the
// first and last cabinets it finds and of one it does not, and the readout of
// a few slots.
#include "viewer/dayseries.h"
#include "viewer/readout.h"
#include "viewer/statfile.h"
#include "viewer/statformat.h"
#include "viewer/statname.h"

#include <QByteArray>
#include <QDate>
#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const auto series = std::make_unique<DaySeries>();
    StatFile file;
    file.setImage(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));

    // Every indexed record lies inside the image and inside the day.
    for (int r = 0; r < file.recordCount(); ++r) {
        const size_t at = file.recordOffset(r);
        if (at + 3 > size || at + statformat::recordSize(data[at + 2]) > size
            || statformat::slotOfTime(statformat::readU16(data + at)) >= statformat::slotsPerDay)
            std::abort();
    }
    if (file.recordCount() > statformat::maxRecords)
        std::abort();

    // Filling the model costs more than reading the file: a few cabinets do.
    const QList<int> cabinets = file.cabinets();
    if (!cabinets.isEmpty()) {
        series->build(file, cabinets.first());
        series->build(file, cabinets.last());
    }
    series->build(file, 0);
    for (int slot : {0, int(size % 8640), 8639})
        readoutLines(*series, slot, QString(), size & 1);

    QDate date;
    statname::dateOf(QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size < 12 ? size : 12)),
                     &date, nullptr);
    return 0;
}
