#pragma once
#include <QIODevice>
#include <QString>
#include <functional>

namespace report {

// Writes a file whole or not at all: `write` fills a temporary file that
// replaces outFile only when everything succeeded. False with the reason
// in *message.
bool saveWhole(const QString &outFile, QString *message, const std::function<bool(QIODevice &)> &write);

}  // namespace report
