// Random bytes from the collector: the link must neither crash nor let its
// line buffer grow past its cap, whatever the bytes and however they are split.
#include "link/filestreamsink.h"
#include "link/link.h"
#include "link/operatorui.h"

#include <QCoreApplication>
#include <cstdlib>

namespace {
struct Sink : FileStreamSink
{
    qint64 left = 0;
    void streamAnnounced(QByteArrayView text) override { left = qBound(0, text.size() * 7, 300); }
    qsizetype consume(const char *, qsizetype size) override
    {
        const qsizetype used = qMin<qsizetype>(size, left);
        left -= used;
        return used;
    }
    bool streaming() const override { return left > 0; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static ScriptedOperator ui;
    Link link(nullptr, ui);
    Sink sink;
    if (size > 0 && data[0] & 1)
        link.setFileSink(&sink);
    // The first byte chooses the chunk size, so splits are explored too.
    const size_t chunk = size > 0 ? 1 + data[0] % 64 : 1;
    for (size_t i = 1; i < size; i += chunk) {
        const size_t n = std::min(chunk, size - i);
        link.processChunk(reinterpret_cast<const char *>(data + i), qsizetype(n));
        if (link.protocol().pendingLine().size() > LineProtocol::maxLineLength)
            std::abort();
    }
    return 0;
}
