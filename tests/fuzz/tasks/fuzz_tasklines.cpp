// Hand-edited task data: any bytes as profile and task lines must neither crash
// the line codec, the library refresh, the task layout nor the builder, and the
// builder's output must always keep its layout.
#include <QByteArray>
#include <QList>
#include <QtEndian>
#include <cstdint>

#include "link/crc16.h"
#include "tasks/cabinettask.h"
#include "tasks/profilelibrary.h"
#include "tasks/taskfilebuilder.h"

namespace {

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

void checkTable(const QByteArray &file, int cabinets)
{
    const auto *b = reinterpret_cast<const uchar *>(file.constData());
    check(file.size() >= 1 && b[0] == cabinets);
    const qsizetype rowSize = 2 * cabinets + 6;
    const qsizetype m = (file.size() - 1 - cabinets) / (8 + rowSize);
    check(1 + cabinets + (8 + rowSize) * m == file.size());
    check(m >= 2);
    quint32 previous = 0;
    for (qsizetype i = 0; i < m; ++i) {
        const uchar *entry = b + 1 + cabinets + 8 * i;
        const quint32 key = qFromLittleEndian<quint32>(entry);
        check(i == 0 ? key == 0 : key > previous);
        previous = key;
        const quint32 offset = qFromLittleEndian<quint32>(entry + 4);
        check(offset == quint32(1 + cabinets + 8 * m + rowSize * i));
        const uchar *row = b + offset;
        check(qFromLittleEndian<quint32>(row) == key);
        check(qFromLittleEndian<quint16>(row + rowSize - 2) == crc16(row, rowSize - 2));
    }
    check(previous == LastHourKey);
}

// Good lines of every kind (code page 1251), so that mutations start from
// text that gets past the first fields.
const QByteArray goodLines =
    "\xC1\xF0\xEE\xE9\xEB\xE5\xF0 - 21 \xE4. 00 \xF7\xE0\xF1.\r\n"
    "  18 \xE4. 00 \xF7\xE0\xF1., \t37.6\xB0" "C 55%\r\n"
    "*\xD3\xF2\xEA\xE0 - 01 \xE4. 00 \xF7\xE0\xF1., \t31.12.2009 23:00 \t01.01.2010 23:00\r\n"
    "  01 \xE4. 00 \xF7\xE0\xF1., \t37.5\xB0" "C 55%, \t31.12.2009 23:00 \t01.01.2010 23:00\r\n"
    "  00 \xE4. 05 \xF7\xE0\xF1., \t38.0\xB0" "C 90%, \t01.01.2010 23:00 \t02.01.2010 04:00\r\n";

// The first byte picks the input's use: as it is, as changes to the good
// lines (pairs of position and byte), or as lines after them.
QByteArray textFrom(const uint8_t *data, size_t size)
{
    if (size == 0)
        return {};
    const QByteArray rest(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    switch (data[0] % 3) {
    case 1: {
        QByteArray text = goodLines;
        for (qsizetype i = 0; i + 1 < rest.size(); i += 2)
            text[(uchar(rest[i]) * 7) % text.size()] = rest[i + 1];
        return text;
    }
    case 2:
        return goodLines + rest;
    default:
        return rest;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = textFrom(data, size);
    QList<QByteArray> lines;
    for (const QByteArray &line : input.split('\n'))
        lines.append(line);

    // Every parser on every line, then a format from what was read: the
    // record only ever holds what a format can print.
    TLineFields f;
    for (const auto &line : lines) {
        ParseProfileHeader(f, line);
        FormatProfileHeader(f);
        ParseStage(f, line);
        FormatStage(f);
        ParseTaskHeader(f, line);
        FormatTaskHeader(f);
        ParseTaskStage(f, line);
        check(!f.Start.isValid() || f.Start.date().isValid());
        DecodeStartEnd(f);
        FormatTaskStage(f);
    }

    // The same lines as a library, a task and the task file's input.
    QList<QByteArray> prf = lines;
    profiles::refreshTotals(prf, f);
    check(prf.size() == lines.size());

    QList<QByteArray> rule = lines;
    const auto layout = tasks::RecalcTask(rule, f);
    check(layout.rows.size() == rule.size() && rule.size() == lines.size());
    if (!rule.isEmpty()) {
        tasks::markModified(rule, int(rule.size()) - 1);
        tasks::insertStageAfter(rule, 0, f);
        tasks::removeStage(rule, 1);
        tasks::removeProfile(rule, int(rule.size()) / 2);
        tasks::RecalcTask(rule, f);
    }

    const auto file = buildTaskFile({{1, lines}, {63, rule}, {2, std::nullopt}});
    check(file.has_value());
    checkTable(*file, 3);
    return 0;
}
