#include "tokens.h"

#include <limits>

LineKind classifyLine(QByteArrayView line)
{
    if (line == "%A")
        return LineKind::Ack;
    if (line == "%N")
        return LineKind::Nak;
    struct Prefix { const char *token; LineKind kind; };
    static constexpr Prefix prefixes[] = {
        {"%S", LineKind::Status},   {"%DIR:", LineKind::Dir},     {"%ZEV: ", LineKind::Zev},
        {"%BOX: ", LineKind::Box},  {"%TIME:", LineKind::Time},   {"%NOTIME", LineKind::NoTime},
        {"%CARD:", LineKind::Card}, {"%RULE:", LineKind::Rule},   {"%D:", LineKind::Data},
    };
    for (const auto &p : prefixes)
        if (line.startsWith(QByteArrayView(p.token)))
            return p.kind;
    return LineKind::Other;
}

QByteArray textFrom(QByteArrayView line, int position)
{
    const qsizetype start = position - 1;
    if (start < 0 || start >= line.size())
        return {};
    return line.sliced(start, qMin<qsizetype>(100, line.size() - start)).toByteArray();
}

std::optional<quint16> parseWord(QByteArrayView digits)
{
    if (digits.isEmpty())
        return std::nullopt;
    quint32 number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + quint32(c - '0');
        if (number > 0xFFFF)
            return std::nullopt;
    }
    return quint16(number);
}

std::optional<qint64> parseDecimal(QByteArrayView text)
{
    text = text.trimmed();
    if (text.isEmpty() || text.size() > 20)
        return std::nullopt;
    bool negative = false;
    qsizetype i = 0;
    if (text[0] == '-' || text[0] == '+') {
        negative = text[0] == '-';
        i = 1;
    }
    if (i == text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        if (value > (std::numeric_limits<qint64>::max() - (c - '0')) / 10)
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}
