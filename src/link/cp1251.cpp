#include "cp1251.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace cp1251 {

QString decode(QByteArrayView bytes)
{
    QStringDecoder decoder("windows-1251");
    QString text = decoder.decode(bytes);
    return text;
}

QByteArray encode(const QString &text, bool *ok)
{
    QStringEncoder encoder("windows-1251");
    QByteArray bytes = encoder.encode(text);
    const bool good = encoder.isValid() && !encoder.hasError();
    if (ok)
        *ok = good;
    return good ? bytes : QByteArray();
}

}  // namespace cp1251
