#pragma once
#include <QString>
#include <QStringList>

// The settings text the GSM module reports and the page edits: blank-separated
// items "key:value", then the SMS template, which starts with the word "sms:"
// and runs to the end (it may hold blanks; the page writes line breaks as "|").
namespace gsmtext {

struct Parts
{
    QStringList items;     // words with a colon and a non-empty key, as written
    qsizetype smsAt = -1;  // where the word "sms:" starts; -1 without a template
    QString sms;           // from "sms:" to the end, as written; empty without one
    QString smsBody() const { return smsAt < 0 ? QString() : sms.mid(4); }
};

Parts split(const QString &text);

// What a write sends. `items` starts with a blank and has a blank after every
// changed item, in lower case; `sms` is the whole new template "sms:..." as
// typed when it differs from the old one, else empty.
struct Changes
{
    QString items = QStringLiteral(" ");
    QString sms;
};

// Items are compared whole, so a new item that merely ends another old item
// ("key:1" inside "xkey:1") still counts as changed.
Changes changes(const QString &oldText, const QString &newText);

}  // namespace gsmtext
