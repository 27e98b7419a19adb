#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <optional>

// The collector's line tokens, matched in this order; the first match wins.
enum class LineKind {
    Ack,      // "%A", whole line
    Nak,      // "%N", whole line
    Status,   // "%S" + number
    Dir,      // "%DIR:" directory entry, or alone: the list is empty
    Zev,      // "%ZEV: " GSM settings
    Box,      // "%BOX: " cabinet n,state
    Time,     // "%TIME:" clock text
    NoTime,   // "%NOTIME"
    Card,     // "%CARD:" card state
    Rule,     // "%RULE:" task state
    Data,     // "%D:" length, file data follows
    Other     // anything else goes to the terminal
};

LineKind classifyLine(QByteArrayView line);

// The text from 1-based position `position`, at most 100 characters.
QByteArray textFrom(QByteArrayView line, int position);

// A decimal integer as the collector writes it; surrounding blanks are allowed.
// Anything else (empty, letters, overflow) gives no value.
std::optional<qint64> parseDecimal(QByteArrayView text);

// A 16-bit word written in decimal digits only, as the GSM module writes its
// checksums: no blanks, no sign, nothing above 65535.
std::optional<quint16> parseWord(QByteArrayView digits);
