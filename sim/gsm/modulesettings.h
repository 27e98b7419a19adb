#pragma once
#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>

// What the GSM module keeps: items "key:value" in the order they came, then
// the SMS template, which starts with the word "sms:" and runs to the end of
// the text. Bytes in code page 1251, as they travel.
class ModuleSettings
{
public:
    // The module's text: the items separated by single blanks, then the template.
    QByteArray text() const;

    // Replaces everything; false (keeping the old settings) for a text the
    // module's reply line could not carry.
    bool setText(QByteArrayView text);

    // Takes what a settings message carries: each item replaces the item of
    // the same key (keys compare without regard to case) or is added; a
    // template replaces the template.
    void apply(QByteArrayView items);

    // No line ends or other control bytes, no 0x85 (the reply's separator).
    static bool carriable(QByteArrayView text);

private:
    QByteArrayList items_;
    QByteArray template_;   // "sms:..." or empty
};
