#pragma once
#include <QByteArray>
#include <QString>

class OperatorUi;

// The three requests that put the task file on the collector's card. Each
// sends its payload as data bytes followed by the payload's crc16 (low byte
// first), then its command, flushes, and waits for the reply: true when the
// collector acknowledged within the reply time-out.
class TaskUploadChannel
{
public:
    virtual ~TaskUploadChannel() = default;
    virtual bool createFile(QByteArray nameCp1251) = 0;  // command 11
    virtual bool writeBlock(QByteArray data) = 0;        // command 15
    virtual bool closeFile() = 0;                        // command 14, no payload
};

constexpr qsizetype TaskUploadBlockBytes = 256;

// Writes the task file at localPath to the card as "rule.bin", block by block,
// each block only after the one before was acknowledged; progress and the
// closing message go to the operator. The local file is read before anything
// is sent, so a missing or unreadable file sends nothing.
bool uploadTaskFile(const QString &localPath, TaskUploadChannel &channel, OperatorUi &ui);

// The same from bytes already in memory.
bool uploadTaskBytes(const QByteArray &file, TaskUploadChannel &channel, OperatorUi &ui);
