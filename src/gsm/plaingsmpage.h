#pragma once
#include <QHash>
#include <QStringList>

#include "gsm/gsmpage.h"

// A settings page without a browser, for the command-line tool and tests. It
// keeps the values of its inputs, splits a settings text given to "gsmSetup"
// into the items ("gsmSetup") and the template ("gsmSMS") as the real page
// does, and remembers which elements were clicked.
class PlainGsmPage : public GsmPage
{
public:
    bool isLoaded = true;
    QHash<QString, QString> values;
    QStringList clicks;

    bool loaded() const override { return isLoaded; }
    void click(const QString &id) override;
    void setValue(const QString &id, const QString &text) override;
    QString value(const QString &id) override { return values.value(id); }
};
