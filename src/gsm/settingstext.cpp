#include "settingstext.h"

#include <QSet>

namespace gsmtext {

namespace {

bool startsTemplate(QStringView word)
{
    return word.size() >= 4 && word[3] == u':' && word.first(3).compare(u"sms", Qt::CaseInsensitive) == 0;
}

}  // namespace

Parts split(const QString &text)
{
    Parts parts;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        if (text[i] == u' ') {
            ++i;
            continue;
        }
        qsizetype end = text.indexOf(u' ', i);
        if (end < 0)
            end = n;
        const QStringView word = QStringView(text).sliced(i, end - i);
        if (startsTemplate(word)) {
            parts.smsAt = i;
            parts.sms = text.mid(i);
            break;
        }
        if (word.indexOf(u':') > 0)
            parts.items << word.toString();
        i = end;
    }
    return parts;
}

Changes changes(const QString &oldText, const QString &newText)
{
    const Parts oldParts = split(oldText);
    const Parts newParts = split(newText);

    QSet<QString> known;
    for (const QString &item : oldParts.items)
        known.insert(item.toLower());

    Changes result;
    for (const QString &item : newParts.items) {
        const QString lower = item.toLower();
        if (!known.contains(lower))
            result.items += lower + u' ';
    }
    if (newParts.smsAt >= 0 && newParts.smsBody() != oldParts.smsBody())
        result.sms = newParts.sms;
    return result;
}

}  // namespace gsmtext
