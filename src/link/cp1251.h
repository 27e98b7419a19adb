#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The one place where text meets bytes: the collector, the card's file names
// and the program's text files speak Windows code page 1251.
namespace cp1251 {

QString decode(QByteArrayView bytes);

// Encodes text; a character outside the code page makes the result invalid
// (ok = false) instead of being sent as a substitute byte.
QByteArray encode(const QString &text, bool *ok = nullptr);

}  // namespace cp1251
