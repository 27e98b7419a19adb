#pragma once
#include <QByteArrayView>

// Receives the binary data that follows a "%D:" line. While a stream is open
// the link hands every byte read to the sink first; whatever the sink does not
// take is read as text again.
class FileStreamSink
{
public:
    virtual ~FileStreamSink() = default;
    // The "%D:" line arrived; `lengthText` is what follows the token.
    virtual void streamAnnounced(QByteArrayView lengthText) = 0;
    // Takes bytes of the stream and returns how many belong to it; fewer than
    // offered means the stream has ended.
    virtual qsizetype consume(const char *data, qsizetype size) = 0;
    // Whether the stream still expects data.
    virtual bool streaming() const = 0;
};
