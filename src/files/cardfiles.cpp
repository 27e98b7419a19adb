#include "cardfiles.h"

#include "link/cp1251.h"
#include "link/link.h"

bool deleteCardFile(Link &link, const QString &name)
{
    bool encodable = false;
    const QByteArray encoded = cp1251::encode(name, &encodable);
    if (!encodable)
        return false;
    link.beginExchange();
    link.sendCommand(cmd::Reset);
    link.flushPort();
    link.sendArgument(encoded);
    link.sendCommand(cmd::DeleteFile);
    link.flushPort();
    return link.awaitReply();
}
