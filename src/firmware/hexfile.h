#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// A run of data bytes from an Intel HEX file at its absolute byte address.
struct HexChunk
{
    quint32 address = 0;
    QByteArray bytes;
};

struct HexParse
{
    bool ok = false;
    QString error;       // one line, with the line number, when !ok
    QList<HexChunk> chunks;
};

// Parses an Intel HEX file (record types 00 to 05). Every record's length and
// checksum are verified; the file must end with an end-of-file record, so a
// truncated file is refused. Lines after that record are ignored.
HexParse parseIntelHex(QByteArrayView text);
