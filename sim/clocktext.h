#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <optional>

namespace clocktext {

// The collector's own clock text, as sent after "%TIME:": "dd.MM.yy hh:mm:ss".
QByteArray format(const QDateTime &time);

// Finds an AT+CCLK="yy/MM/dd,hh:mm:ss±zz" clock-setting command in a text for
// the GSM module and reads its local time; the zone field is not applied.
// Nothing when the text holds no such command or an impossible date.
std::optional<QDateTime> parseCclk(QByteArrayView text);

}  // namespace clocktext
