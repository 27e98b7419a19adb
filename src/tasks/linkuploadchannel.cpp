#include "linkuploadchannel.h"

#include "link/link.h"

// One exchange for the whole upload: it begins with the open request; every
// later request is sent straight into it and ends with its own reply.
bool LinkTaskUploadChannel::createFile(QByteArray nameCp1251)
{
    link_.beginExchange();
    link_.sendArgument(nameCp1251);
    link_.sendCommand(cmd::CreateFile);
    link_.flushPort();
    return link_.awaitReply();
}

bool LinkTaskUploadChannel::writeBlock(QByteArray data)
{
    link_.sendArgument(data);
    link_.sendCommand(cmd::WriteBlock);
    link_.flushPort();
    return link_.awaitReply();
}

bool LinkTaskUploadChannel::closeFile()
{
    link_.sendCommand(cmd::CloseFile);
    link_.flushPort();
    return link_.awaitReply();
}
