#pragma once
#include "taskupload.h"

class Link;

// The task upload's requests on the collector link.
class LinkTaskUploadChannel : public TaskUploadChannel
{
public:
    explicit LinkTaskUploadChannel(Link &link) : link_(link) {}
    bool createFile(QByteArray nameCp1251) override;
    bool writeBlock(QByteArray data) override;
    bool closeFile() override;

private:
    Link &link_;
};
