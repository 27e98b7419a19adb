#include "collectormode.h"

#include "link/link.h"
#include "link/wire.h"

namespace {

void sendMode(Link &link, quint8 command)
{
    link.sendBusWord(wire::busAddressBase);
    link.flushPort();
    link.sendCommand(command);
    link.flushPort();
}

}  // namespace

void sendBridgeMode(Link &link) { sendMode(link, cmd::Bridge); }
void sendAutoMode(Link &link) { sendMode(link, cmd::Auto); }
