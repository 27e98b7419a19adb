#include "portsettings.h"

#include <QSettings>

namespace {

// A value that is missing or not a string counts as empty.
QString readString(const QSettings &settings, const char *key)
{
    const QVariant v = settings.value(QLatin1String(key));
    return v.typeId() == QMetaType::QString ? v.toString() : QString();
}

PortChoice readScope(QSettings::Scope scope)
{
    QSettings settings(scope, QStringLiteral("KIVO"), QStringLiteral("Incubator"));
    settings.setFallbacksEnabled(false);
    return {readString(settings, "comPort"), readString(settings, "comFriendly")};
}

}  // namespace

PortChoice loadPortChoice()
{
    PortChoice choice = readScope(QSettings::UserScope);
    if (choice.path.isEmpty())
        choice = readScope(QSettings::SystemScope);
    return choice;
}

void savePortChoice(const PortChoice &choice)
{
    QSettings settings(QSettings::UserScope, QStringLiteral("KIVO"), QStringLiteral("Incubator"));
    settings.setValue(QStringLiteral("comFriendly"), choice.friendly);
    settings.setValue(QStringLiteral("comPort"), choice.path);
}
