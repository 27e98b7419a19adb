#include "democard.h"

#include "link/crc16.h"
#include "sim/collector.h"
#include "simcard.h"
#include "tools/statgen/statgen.h"

#include <QDate>
#include <QtEndian>

namespace {

constexpr int demoDays = 4;

quint32 hourKey(const QDate &date, int hour)
{
    return quint32(date.year() % 100) << 24 | quint32(date.month()) << 16 | quint32(date.day()) << 8 | quint32(hour);
}

// A task file as the program builds it: one incubation of 21 days at 37.5 °C
// and 55 % for every cabinet, started a week ago at 8 o'clock.
QByteArray demoTaskFile(const QList<int> &cabinets)
{
    const QDate start = QDate::currentDate().addDays(-7);
    const QList<quint32> keys = {0, hourKey(start, 8), hourKey(start.addDays(21), 8), 0x64FFFFFF};
    const int n = int(cabinets.size());
    const int m = int(keys.size());
    const int rowSize = 2 * n + 6;
    QByteArray file;
    file.append(char(n));
    for (int c : cabinets)
        file.append(char(c));
    const int rowsAt = 1 + n + 8 * m;
    for (int i = 0; i < m; ++i) {
        char entry[8];
        qToLittleEndian<quint32>(keys[i], entry);
        qToLittleEndian<quint32>(quint32(rowsAt + rowSize * i), entry + 4);
        file.append(entry, 8);
    }
    for (int i = 0; i < m; ++i) {
        QByteArray row(rowSize, '\0');
        qToLittleEndian<quint32>(keys[i], row.data());
        const bool inForce = i == 1;
        for (int k = 0; k < n && inForce; ++k) {
            row[4 + 2 * k] = char(56);   // 37.5 °C
            row[5 + 2 * k] = char(55);   // 55 %
        }
        qToLittleEndian<quint16>(crc16(row.constData(), rowSize - 2), row.data() + rowSize - 2);
        file += row;
    }
    return file;
}

}  // namespace

SimCard &installDemoCard(Collector &collector)
{
    auto *card = new SimCard(collector);
    card->setContentProvider([&collector](SimCard &c) {
        const QList<int> cabinets = collector.config().cabinets.keys();
        const QDate today = QDate::currentDate();
        for (int back = demoDays - 1; back >= 0; --back) {
            statgen::Options options;
            options.date = today.addDays(-back);
            options.cabinets = cabinets;
            options.seed = uint32_t(options.date.toJulianDay());
            c.setFile(statgen::dayFileName(options.date).toLatin1(), statgen::generateDay(options));
        }
        c.setFile("RULE.BIN", demoTaskFile(cabinets));
    });
    return *card;
}
