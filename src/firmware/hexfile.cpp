#include "hexfile.h"

#include <optional>

namespace {

enum RecordType : quint8 {
    Data = 0x00,
    EndOfFile = 0x01,
    ExtendedSegmentAddress = 0x02,
    StartSegmentAddress = 0x03,
    ExtendedLinearAddress = 0x04,
    StartLinearAddress = 0x05,
};

std::optional<QByteArray> decodeHexDigits(QByteArrayView digits)
{
    if (digits.size() % 2 != 0)
        return std::nullopt;
    for (char c : digits) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return std::nullopt;
    }
    return QByteArray::fromHex(digits.toByteArray());
}

HexParse fail(int lineNumber, const QString &what)
{
    HexParse p;
    p.error = QStringLiteral("line %1: %2").arg(lineNumber).arg(what);
    return p;
}

}  // namespace

HexParse parseIntelHex(QByteArrayView text)
{
    HexParse result;
    quint32 base = 0;
    int lineNumber = 0;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf('\n', pos);
        if (end < 0)
            end = text.size();
        const QByteArrayView line = text.sliced(pos, end - pos).trimmed();
        pos = end + 1;
        ++lineNumber;
        if (line.isEmpty())
            continue;
        if (line.front() != ':')
            return fail(lineNumber, QStringLiteral("a record must start with ':'"));

        const std::optional<QByteArray> record = decodeHexDigits(line.sliced(1));
        if (!record || record->size() < 5)
            return fail(lineNumber, QStringLiteral("malformed record"));
        const auto *r = reinterpret_cast<const quint8 *>(record->constData());
        const int count = r[0];
        if (record->size() != 5 + count)
            return fail(lineNumber, QStringLiteral("record length does not match its byte count"));
        quint8 sum = 0;
        for (char c : *record)
            sum = quint8(sum + quint8(c));
        if (sum != 0)
            return fail(lineNumber, QStringLiteral("bad record checksum"));

        const quint32 offset = quint32(r[1]) << 8 | r[2];
        const quint8 type = r[3];
        const quint8 *data = r + 4;
        switch (type) {
        case Data: {
            const quint64 address = quint64(base) + offset;
            if (address + count > 0x100000000ULL)
                return fail(lineNumber, QStringLiteral("data beyond the 32-bit address space"));
            if (count > 0)
                result.chunks.append({quint32(address), QByteArray(reinterpret_cast<const char *>(data), count)});
            break;
        }
        case EndOfFile:
            if (count != 0)
                return fail(lineNumber, QStringLiteral("end-of-file record with data"));
            result.ok = true;
            return result;
        case ExtendedSegmentAddress:
        case ExtendedLinearAddress: {
            if (count != 2)
                return fail(lineNumber, QStringLiteral("address record must hold two bytes"));
            const quint32 value = quint32(data[0]) << 8 | data[1];
            base = type == ExtendedLinearAddress ? value << 16 : value << 4;
            break;
        }
        case StartSegmentAddress:
        case StartLinearAddress:
            if (count != 4)
                return fail(lineNumber, QStringLiteral("start address record must hold four bytes"));
            break;   // the kernel starts the program itself
        default:
            return fail(lineNumber, QStringLiteral("unknown record type %1").arg(type, 2, 16, QLatin1Char('0')));
        }
    }
    return fail(lineNumber, QStringLiteral("no end-of-file record (truncated file?)"));
}
