#include "portlist.h"

#include "sim/portfactory.h"

#include <QSerialPortInfo>

QString portCaption(const QString &description, const QString &portName)
{
    const QString d = description.trimmed();
    return d.isEmpty() ? portName : d + QStringLiteral(" (") + portName + QLatin1Char(')');
}

QList<PortEntry> availablePorts()
{
    QList<PortEntry> entries{{offlinePortCaption, offlinePortPath},
                             {QString::fromUtf8(demoPortDisplayName), QString::fromUtf8(demoPortPath)}};
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        entries.append({portCaption(info.description(), info.portName()), info.systemLocation()});
    return entries;
}

int preselectedPort(const QList<PortEntry> &entries)
{
    int chosen = -1;
    for (int i = 0; i < entries.size(); ++i)
        if (entries[i].caption.contains(QLatin1String("3303")) || entries[i].caption.contains(QLatin1String("USB")))
            chosen = i;
    return chosen;
}
