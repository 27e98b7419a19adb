#include "plaingsmpage.h"

#include "gsm/settingstext.h"

void PlainGsmPage::click(const QString &id)
{
    clicks << id;
    if (id != QLatin1String("gsmSetup"))
        return;
    const QString text = values.value(id);
    const gsmtext::Parts parts = gsmtext::split(text);
    values[QStringLiteral("gsmSetup")] = parts.items.join(u' ');
    values[QStringLiteral("gsmSMS")] = parts.sms;
}

void PlainGsmPage::setValue(const QString &id, const QString &text)
{
    values[id] = text;
    click(id);
}
