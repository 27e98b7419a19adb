#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// The binary task file the collector follows: the calendar cut at every hour
// on which a stage of any cabinet starts or ends, and for each interval and
// cabinet the set point in force (temperature code and humidity, both 0 for
// none). A pure function of the cabinets' task lines, shared by the editor
// and the command-line tool.

// Year modulo 100, month, day and hour, one byte each from the top.
quint32 HourKey(int year, int month, int day, int hour);

constexpr quint32 FirstHourKey = 0;
constexpr quint32 LastHourKey = 0x64FFFFFF;

// Tenths of a degree, rounded, minus 319 (32.0 °C gives 1, 38.0 °C 61);
// kept within a byte for values no stage dialog would accept.
quint8 temperatureCode(float temperature);
quint8 humidityCode(qint32 humidity);

struct CabinetTaskSource
{
    int number = 0;  // 1..63
    std::optional<QList<QByteArray>> lines;  // none: the task file could not be read
};

// Far above any real task (a few dozen stages per cabinet make a few
// kilobytes) and well inside the file's 32-bit offsets.
constexpr quint64 MaxTaskFileBytes = 64ull << 20;

// The whole file, or nothing when the cabinets cannot be written (a number
// outside 1..255, more than 255 cabinets) or the table would outgrow
// MaxTaskFileBytes.
std::optional<QByteArray> buildTaskFile(const QList<CabinetTaskSource> &cabinets);
