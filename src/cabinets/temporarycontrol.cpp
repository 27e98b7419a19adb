#include "temporarycontrol.h"

#include "link/link.h"

bool setTemporaryControl(Link &link, int cabinet, bool on)
{
    link.beginExchange();
    link.sendCommand(cmd::Reset);
    link.flushPort();
    const char number = char(quint8(cabinet & 0xFF));
    link.sendArgument(QByteArrayView(&number, 1));
    link.sendCommand(on ? cmd::TempControlOn : cmd::TempControlOff);
    link.flushPort();
    return link.awaitReply();
}
