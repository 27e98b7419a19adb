#pragma once
#include <QByteArray>
#include <QList>

// A "%ZEV: " line from the GSM module, cut at every byte 0x85 into tokens.
// Only tokens that begin with "#" and are longer than one byte mean anything.
struct GsmReplyToken
{
    enum class Kind {
        Confirmed,   // "#A": the module accepted a settings message
        Resend,      // "#N": the module asks for the message again
        Settings,    // "#S", one more byte, then the settings text
        Checksum,    // "#C" and the decimal crc16 of the latest settings text
    };
    Kind kind;
    QByteArray settings;  // Settings: the text from the fourth byte on
    quint16 checksum = 0; // Checksum: the number
};

// Tokens in line order. A "#C" whose number is not a plain decimal of at most
// 65535 is dropped: an unreadable checksum must not vouch for any text.
QList<GsmReplyToken> parseZevLine(const QByteArray &line);
