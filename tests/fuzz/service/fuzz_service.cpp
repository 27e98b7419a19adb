// The sensor service's readers of outside input: the parameter record as a
// sensor sends it, measurement frames, typed values and the parameter text
// file. Each run also checks the properties the page relies on.
#include "link/cp1251.h"
#include "service/measurement.h"
#include "service/sensorfile.h"
#include "service/sensorrecord.h"

#include <QByteArray>
#include <cstdint>
#include <cmath>
#include <cstdlib>
#include <deque>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void record(QByteArrayView bytes)
{
    const SensorRecord r = SensorRecord::fromBytes(bytes);
    QStringList rows = initialSensorRows();
    showRecord(r, rows);
    check(rows.size() == SensorRecord::rowCount);
    // Whatever the list shows, writing it back and showing that again gives
    // the same texts for every row the record filled: the list never
    // silently changes a value. (Rows below a value that is not a number keep
    // their old texts, which the record then takes.)
    const RecordFromRows back = recordFromRows(rows);
    check(back.record.has_value());
    check(back.record->checksumOk());
    QStringList again = initialSensorRows();
    showRecord(*back.record, again);
    for (int row = 0; row < SensorRecord::rowCount; ++row)
        if (row == 0 || rows[row].contains(QLatin1Char(',')))
            check(again[row] == rows[row]);
}

void frames(QByteArrayView bytes)
{
    MovingAverage average;
    std::deque<quint32> last;
    qint64 sum = 0;
    for (qsizetype at = 0; at + 14 <= bytes.size(); at += 14) {
        const QByteArrayView frame = bytes.sliced(at, 14);
        const FrameTexts t = decodeFrame(frame, average);
        const quint32 middle = quint32(quint8(frame[6])) << 24 | quint32(quint8(frame[7])) << 16
                               | quint32(quint8(frame[8])) << 8 | quint32(quint8(frame[9]));
        last.push_back(middle);
        sum += middle;
        if (last.size() > 100) {
            sum -= last.front();
            last.pop_front();
        }
        check(average.sum() == sum);
        check(t.hum == QString::number(middle));
        check(t.Edit4 == QString::number(sum / 100));
        check(t.Edit1.size() == 11 && t.Edit2.size() == 11 && t.Edit3.size() == 11);
    }
}

void file(QByteArrayView bytes)
{
    QStringList rows;
    for (int i = 0; i < SensorRecord::rowCount; ++i)
        rows << QStringLiteral("row%1").arg(i);
    const sensorfile::Loaded loaded = sensorfile::apply(cp1251::decode(bytes), rows);
    check(loaded.rows.size() == SensorRecord::rowCount);
    check(loaded.rows.mid(13) == rows.mid(13));
    check(loaded.extraFields >= 0);
    for (int row : loaded.emptyRows)
        check(row >= 0 && row < 13 && loaded.rows[row] == rows[row]);
    // Typed into a row, any text either converts to a finite float or is refused.
    for (const QString &text : loaded.rows)
        if (const auto v = parseSensorValue(text))
            check(std::isfinite(*v));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    record(bytes);
    frames(bytes);
    file(bytes);
    return 0;
}
