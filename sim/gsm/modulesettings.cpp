#include "modulesettings.h"

#include <algorithm>

namespace {

struct Parts
{
    QByteArrayList items;
    QByteArray sms;
    bool hasSms = false;
};

bool startsTemplate(QByteArrayView word)
{
    return word.size() >= 4 && word[3] == ':' && word.first(3).toByteArray().toLower() == "sms";
}

QByteArray keyOf(const QByteArray &item)
{
    return item.left(item.indexOf(':')).toLower();
}

// Blank-separated words; a word without a key and colon means nothing to the module.
Parts split(QByteArrayView text)
{
    Parts parts;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        qsizetype end = QByteArrayView(text).indexOf(' ', i);
        if (end < 0)
            end = text.size();
        const QByteArrayView word = text.sliced(i, end - i);
        if (startsTemplate(word)) {
            parts.sms = text.sliced(i).toByteArray();
            parts.hasSms = true;
            break;
        }
        if (word.indexOf(':') > 0)
            parts.items << word.toByteArray();
        i = end;
    }
    return parts;
}

}  // namespace

QByteArray ModuleSettings::text() const
{
    QByteArray out = items_.join(' ');
    if (!template_.isEmpty()) {
        if (!out.isEmpty())
            out += ' ';
        out += template_;
    }
    return out;
}

bool ModuleSettings::setText(QByteArrayView text)
{
    if (!carriable(text))
        return false;
    const Parts parts = split(text);
    items_ = parts.items;
    template_ = parts.sms;
    return true;
}

void ModuleSettings::apply(QByteArrayView items)
{
    const Parts parts = split(items);
    for (const QByteArray &item : parts.items) {
        const QByteArray key = keyOf(item);
        auto same = std::find_if(items_.begin(), items_.end(), [&key](const QByteArray &old) { return keyOf(old) == key; });
        if (same != items_.end())
            *same = item;
        else
            items_ << item;
    }
    if (parts.hasSms)
        template_ = parts.sms;
}

bool ModuleSettings::carriable(QByteArrayView text)
{
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || b == 0x85)
            return false;
    }
    return true;
}
