#include "sensorrecord.h"

#include "link/crc16.h"

#include <QLocale>
#include <QtEndian>
#include <bit>
#include <cmath>
#include <limits>

SensorRecord SensorRecord::fromBytes(QByteArrayView bytes)
{
    SensorRecord r;
    const qsizetype n = qMin<qsizetype>(bytes.size(), size);
    for (qsizetype i = 0; i < n; ++i)
        r.bytes_[size_t(i)] = quint8(bytes[i]);
    return r;
}

QByteArray SensorRecord::bytes() const
{
    return QByteArray(reinterpret_cast<const char *>(bytes_.data()), size);
}

quint16 SensorRecord::number() const
{
    return qFromLittleEndian<quint16>(bytes_.data());
}

void SensorRecord::setNumber(quint16 number)
{
    qToLittleEndian(number, bytes_.data());
}

float SensorRecord::value(int row) const
{
    if (row < 1 || row >= rowCount)
        return 0;
    return std::bit_cast<float>(qFromLittleEndian<quint32>(bytes_.data() + offset(row)));
}

void SensorRecord::setValue(int row, float value)
{
    if (row >= 1 && row < rowCount)
        qToLittleEndian(std::bit_cast<quint32>(value), bytes_.data() + offset(row));
}

quint16 SensorRecord::storedChecksum() const
{
    return qFromLittleEndian<quint16>(bytes_.data() + checksumOffset);
}

quint16 SensorRecord::computedChecksum() const
{
    return crc16(bytes_.data(), checksumOffset);
}

void SensorRecord::seal()
{
    qToLittleEndian(computedChecksum(), bytes_.data() + checksumOffset);
}

const QStringList &sensorRowNames()
{
    static const QStringList names = {
        QStringLiteral("Номер"),
        QStringLiteral("hum_zerro_offset"),
        QStringLiteral("hum_slope"),
        QStringLiteral("hum_k_ADC"),
        QStringLiteral("Настройки"),
        QStringLiteral("Kp регулятора"),
        QStringLiteral("1"),
        QStringLiteral("2"),
        QStringLiteral("3"),
        QStringLiteral("4"),
        QStringLiteral("5"),
        QStringLiteral("6"),
        QStringLiteral("7"),
        QStringLiteral("Дельта термостат"),
        QStringLiteral("k2"),
        QStringLiteral("k3"),
    };
    return names;
}

QStringList initialSensorRows()
{
    QStringList rows(SensorRecord::rowCount, QStringLiteral("0"));
    rows[7] = QStringLiteral("8");
    return rows;
}

QString formatSensorValue(float value)
{
    QString text = QString::asprintf("%e", double(value));
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point >= 0)
        text[point] = QLatin1Char(',');
    return text;
}

void showRecord(const SensorRecord &record, QStringList &rows)
{
    while (rows.size() < SensorRecord::rowCount)
        rows.append(QString());
    rows[0] = QString::number(record.number());
    for (int row = 1; row < SensorRecord::rowCount; ++row) {
        const QString text = formatSensorValue(record.value(row));
        if (!text.contains(QLatin1Char(',')))
            return;
        rows[row] = text;
    }
}

std::optional<float> parseSensorValue(const QString &text)
{
    QString s = text.trimmed();
    const qsizetype point = s.indexOf(QLatin1Char('.'));
    if (point >= 0)
        s[point] = QLatin1Char(',');
    if (s.count(QLatin1Char(',')) > 1 || s.contains(QLatin1Char('.')))
        return std::nullopt;
    s.replace(QLatin1Char(','), QLatin1Char('.'));
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double d = c.toDouble(s, &ok);
    // The sensor takes a float32: infinities, NaN and values beyond its
    // range would arrive as something other than what was typed.
    if (!ok || !std::isfinite(d) || std::fabs(d) > double(std::numeric_limits<float>::max()))
        return std::nullopt;
    return float(d);
}

std::optional<int> parseSensorNumber(const QString &text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok, 10);
    if (!ok || n < 0 || n > 0xFFFF)
        return std::nullopt;
    return n;
}

RecordFromRows recordFromRows(const QStringList &rows)
{
    if (rows.size() < SensorRecord::rowCount)
        return {std::nullopt, int(rows.size())};
    SensorRecord record;
    const auto number = parseSensorNumber(rows[0]);
    if (!number)
        return {std::nullopt, 0};
    record.setNumber(quint16(*number));
    for (int row = 1; row < SensorRecord::rowCount; ++row) {
        const auto value = parseSensorValue(rows[row]);
        if (!value)
            return {std::nullopt, row};
        record.setValue(row, *value);
    }
    record.seal();
    return {record, -1};
}

QString notANumberMessage(int row, const QString &text)
{
    const QString name = sensorRowNames().value(row, QString::number(row));
    return QStringLiteral("Значение «%1» в строке «%2» не является допустимым числом!").arg(text, name);
}
