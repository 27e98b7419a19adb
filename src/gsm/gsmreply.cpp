#include "gsmreply.h"

#include "link/tokens.h"

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
            if (const std::optional<quint16> value = parseWord(QByteArrayView(token).sliced(2)))
                tokens.append({GsmReplyToken::Kind::Checksum, {}, *value});
        }
    }
    return tokens;
}
