#include "taskfilebuilder.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>

#include "link/crc16.h"
#include "tasks/linecodec.h"

namespace {

struct StageSpan
{
    quint32 start;
    quint32 end;
    quint8 temperature;
    quint8 humidity;
};

std::optional<quint32> keyOf(quint16 year, quint16 month, quint16 day, quint16 hour)
{
    // Hand-edited dates that name no real hour have no place in the table.
    if (!CalendarHour::fromFields(year, month, day, hour).isValid())
        return std::nullopt;
    return HourKey(year, month, day, hour);
}

// Each stage line parsed once, so the key pass and the fill pass agree.
QList<StageSpan> stagesOf(const QList<QByteArray> &lines)
{
    QList<StageSpan> spans;
    TLineFields f;
    for (const auto &line : lines) {
        if (!isStageLine(line))
            continue;
        ParseTaskStage(f, line);
        const auto s = keyOf(f.StartYear, f.StartMonth, f.StartDay, f.StartHour);
        const auto e = keyOf(f.EndYear, f.EndMonth, f.EndDay, f.EndHour);
        if (s && e)
            spans.append({*s, *e, temperatureCode(f.Temperature), humidityCode(f.Humidity)});
    }
    return spans;
}

void putLe32(char *at, quint32 value) { qToLittleEndian(value, at); }

}  // namespace

quint32 HourKey(int year, int month, int day, int hour)
{
    return (quint32(year % 100) & 0xFF) << 24 | (quint32(month) & 0xFF) << 16
        | (quint32(day) & 0xFF) << 8 | (quint32(hour) & 0xFF);
}

quint8 temperatureCode(float temperature)
{
    const double code = std::floor(double(temperature) * 10.0 - 319.0 + 0.5);
    if (!(code > 0.0))  // also NaN
        return 0;
    return code >= 255.0 ? 255 : quint8(code);
}

quint8 humidityCode(qint32 humidity)
{
    return quint8(qBound(0, int(humidity), 255));
}

std::optional<QByteArray> buildTaskFile(const QList<CabinetTaskSource> &cabinets)
{
    const qsizetype n = cabinets.size();
    if (n > 255)
        return std::nullopt;
    for (const auto &c : cabinets) {
        if (c.number < 1 || c.number > 255)
            return std::nullopt;
    }

    QList<QList<StageSpan>> stages;
    std::vector<quint32> keys{FirstHourKey, LastHourKey};
    for (const auto &c : cabinets) {
        stages.append(c.lines ? stagesOf(*c.lines) : QList<StageSpan>());
        for (const auto &s : stages.last()) {
            keys.push_back(s.start);
            keys.push_back(s.end);
        }
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());

    const quint64 m = keys.size();
    const quint64 rowSize = 2 * quint64(n) + 6;
    const quint64 rowsAt = 1 + quint64(n) + 8 * m;
    const quint64 total = rowsAt + rowSize * m;
    if (total > MaxTaskFileBytes)
        return std::nullopt;

    QByteArray file(qsizetype(total), '\0');
    char *out = file.data();
    out[0] = char(n);
    for (qsizetype k = 0; k < n; ++k)
        out[1 + k] = char(cabinets[k].number);

    char *index = out + 1 + n;
    char *rows = out + rowsAt;
    for (quint64 i = 0; i < m; ++i) {
        putLe32(index + 8 * i, keys[i]);
        putLe32(index + 8 * i + 4, quint32(rowsAt + rowSize * i));
        putLe32(rows + rowSize * i, keys[i]);
    }

    // A later stage overwrites an earlier one where profiles overlap.
    for (qsizetype k = 0; k < n; ++k) {
        for (const auto &s : stages[k]) {
            const auto from = std::lower_bound(keys.begin(), keys.end(), s.start) - keys.begin();
            const auto to = std::lower_bound(keys.begin(), keys.end(), s.end) - keys.begin();
            for (auto i = from; i < to; ++i) {
                rows[rowSize * i + 4 + 2 * k] = char(s.temperature);
                rows[rowSize * i + 5 + 2 * k] = char(s.humidity);
            }
        }
    }

    for (quint64 i = 0; i < m; ++i) {
        char *row = rows + rowSize * i;
        qToLittleEndian(crc16(row, qsizetype(rowSize - 2)), row + rowSize - 2);
    }
    return file;
}
