#include "navigation.h"

PageNavigation classifyNavigation(const QUrl &url)
{
    const QString address = url.toString();
    if (address.contains(QLatin1String("write()")))
        return PageNavigation::Write;
    if (address.contains(QLatin1String("connect()")))
        return PageNavigation::Connect;
    if (address.contains(QLatin1String("sync()")))
        return PageNavigation::Sync;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("qrc"))
        return PageNavigation::Allow;
    if ((scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !url.host().isEmpty())
        return PageNavigation::External;
    return PageNavigation::Refuse;
}
