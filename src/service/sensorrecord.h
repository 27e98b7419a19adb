#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// A sensor's parameter record, 64 bytes exchanged exactly as laid out: the
// sensor number at offset 0, then fifteen float32 values from offset 2, all
// little-endian, and at offset 62 the crc16 of bytes 0..61, low byte first.
// Row r of the parameter list is the number (r = 0) or value r.
class SensorRecord
{
public:
    static constexpr int size = 64;
    static constexpr int rowCount = 16;
    static constexpr int checksumOffset = 62;

    SensorRecord() = default;                          // all zeros
    static SensorRecord fromBytes(QByteArrayView bytes);  // missing bytes are zero, extra ones ignored

    QByteArray bytes() const;
    quint16 number() const;
    void setNumber(quint16 number);
    float value(int row) const;                        // rows 1..15
    void setValue(int row, float value);
    quint16 storedChecksum() const;
    quint16 computedChecksum() const;                  // of bytes 0..61
    bool checksumOk() const { return storedChecksum() == computedChecksum(); }
    void seal();                                       // puts the checksum in place

    bool operator==(const SensorRecord &) const = default;

private:
    static int offset(int row) { return 2 + 4 * (row - 1); }
    std::array<quint8, size> bytes_{};
};

// The parameter list: the sixteen row names and their texts at start.
const QStringList &sensorRowNames();
QStringList initialSensorRows();

// A value as the list shows it: printf "%e" with the decimal point turned
// into a comma. A value that is not a finite number has no comma.
QString formatSensorValue(float value);

// Fills the rows from a record: row 0 the number in decimal, rows 1..15 the
// formatted values. A value that is not a finite number ends the filling:
// its row and those below keep their texts.
void showRecord(const SensorRecord &record, QStringList &rows);

// A typed value: the first point is taken as the decimal comma, exponent
// notation is accepted. Anything that does not fit a float32 is refused.
std::optional<float> parseSensorValue(const QString &text);
// The sensor number of row 0: a decimal integer 0..65535.
std::optional<int> parseSensorNumber(const QString &text);

// The record the rows describe, with its checksum; or the first row that
// does not convert.
struct RecordFromRows
{
    std::optional<SensorRecord> record;
    int badRow = -1;
};
RecordFromRows recordFromRows(const QStringList &rows);

// "The value of row X is not a valid number" for the operator.
QString notANumberMessage(int row, const QString &text);
