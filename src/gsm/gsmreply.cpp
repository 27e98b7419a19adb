#include "gsmreply.h"

namespace {

bool readChecksum(QByteArrayView digits, quint16 *value)
{
    if (digits.isEmpty())
        return false;
    quint32 number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + quint32(c - '0');
        if (number > 0xFFFF)
            return false;
    }
    *value = quint16(number);
    return true;
}

}  // namespace

QList<GsmReplyToken> parseZevLine(const QByteArray &line)
{
    QList<GsmReplyToken> tokens;
    for (const QByteArray &token : line.split('\x85')) {
        if (token.size() < 2 || token[0] != '#')
            continue;
        if (token == "#A") {
            tokens.append({GsmReplyToken::Kind::Confirmed, {}, 0});
        } else if (token == "#N") {
            tokens.append({GsmReplyToken::Kind::Resend, {}, 0});
        } else if (token.startsWith("#S")) {
            tokens.append({GsmReplyToken::Kind::Settings, token.size() > 3 ? token.sliced(3) : QByteArray(), 0});
        } else if (token.startsWith("#C")) {
            quint16 value = 0;
            if (readChecksum(QByteArrayView(token).sliced(2), &value))
                tokens.append({GsmReplyToken::Kind::Checksum, {}, value});
        }
    }
    return tokens;
}
