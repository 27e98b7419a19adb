#include "clocktext.h"

#include <QRegularExpression>

namespace clocktext {

QByteArray format(const QDateTime &time)
{
    return time.toString(QStringLiteral("dd.MM.yy hh:mm:ss")).toLatin1();
}

std::optional<QDateTime> parseCclk(QByteArrayView text)
{
    static const QRegularExpression pattern(QStringLiteral(
        R"re(AT\+CCLK="(\d\d)/(\d\d)/(\d\d),(\d\d):(\d\d):(\d\d)[+-]\d\d?")re"));
    const auto match = pattern.match(QString::fromLatin1(text.data(), text.size()));
    if (!match.hasMatch())
        return std::nullopt;
    auto field = [&](int i) { return match.captured(i).toInt(); };
    const QDate date(2000 + field(1), field(2), field(3));
    const QTime time(field(4), field(5), field(6));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time);
}

}  // namespace clocktext
