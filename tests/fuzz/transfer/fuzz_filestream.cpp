// The file stream receiver on arbitrary input: deliveries in one chunk, byte
// by byte and in pieces must agree, a complete stream must end in the pair of
// all its data, and the link must survive streams announced in the input.
#include "link/crc16.h"
#include "link/filetransfer.h"
#include "link/link.h"
#include "link/operatorui.h"

#include <QCoreApplication>
#include <cstdint>
#include <cstdlib>

namespace {

struct Result
{
    QByteArray data;
    FileStreamReceiver::State state;
    FileStreamReceiver::Failure failure;
    quint32 received, verified;
    size_t taken = 0;

    bool operator==(const Result &o) const
    {
        return data == o.data && state == o.state && failure == o.failure && received == o.received
               && verified == o.verified && taken == o.taken;
    }
};

Result run(quint32 length, const uint8_t *stream, size_t size, size_t pieceSeed)
{
    Result r{};
    FileStreamReceiver receiver;
    receiver.onData = [&r](QByteArrayView b) {
        r.data += b.toByteArray();
        return true;
    };
    receiver.begin(length);
    size_t at = 0;
    size_t state = pieceSeed;
    while (at < size && receiver.streaming()) {
        size_t piece = size - at;
        if (pieceSeed == 1)
            piece = 1;
        else if (pieceSeed > 1) {
            state = state * 1103515245 + 12345;
            piece = qMin(piece, 1 + (state >> 8) % 64);
        }
        const qsizetype used = receiver.feed(reinterpret_cast<const char *>(stream) + at, qsizetype(piece));
        if (used < 0 || size_t(used) > piece)
            abort();
        r.taken += size_t(used);
        at += piece;
        if (size_t(used) < piece)
            break;
    }
    r.state = receiver.state();
    r.failure = receiver.failure();
    r.received = receiver.received();
    r.verified = receiver.verified();
    return r;
}

// A well-formed stream of the given data, so that input also reaches the
// end of a stream and not only its first checksum.
QByteArray wellFormed(const QByteArray &data)
{
    if (data.isEmpty())
        return QByteArray("\xFF\xFF", 2);
    QByteArray out;
    for (qsizetype i = 0; i < data.size(); ++i) {
        out.append(data[i]);
        if (i + 1 == data.size() || (i + 1) % 16384 == 16383) {
            const quint16 crc = crc16(data.constData(), i + 1);
            out.append(char(crc & 0xFF));
            out.append(char(crc >> 8));
        }
    }
    return out;
}

void checkReceiver(const uint8_t *data, size_t size)
{
    if (size < 3)
        return;
    quint32 length = quint32(data[0] | data[1] << 8) % 40000;
    const uint8_t *stream = data + 3;
    size_t streamSize = size - 3;
    QByteArray built;
    if (data[2] & 0x80) {
        // The rest is file data; one byte of the stream may be spoiled.
        const QByteArray file(reinterpret_cast<const char *>(stream), qsizetype(streamSize));
        built = wellFormed(file);
        if ((data[2] & 0x40) && !built.isEmpty())
            built[qsizetype(length % quint32(built.size()))] ^= char(data[1] | 1);
        length = quint32(file.size());
        stream = reinterpret_cast<const uint8_t *>(built.constData());
        streamSize = size_t(built.size());
    }
    const Result whole = run(length, stream, streamSize, 0);
    if (!(run(length, stream, streamSize, 1) == whole) || !(run(length, stream, streamSize, 2 + data[2]) == whole))
        abort();
    if (whole.verified > whole.received || whole.received > length || quint32(whole.data.size()) != whole.received)
        abort();
    if (whole.state == FileStreamReceiver::State::Complete) {
        const quint16 crc = crc16(whole.data.constData(), whole.data.size());
        if (whole.verified != length || whole.taken < 2 || stream[whole.taken - 2] != (crc & 0xFF)
            || stream[whole.taken - 1] != (crc >> 8))
            abort();
    }
}

void checkLink(const uint8_t *data, size_t size)
{
    static ScriptedOperator ui;
    static Link *link = [] {
        auto *l = new Link({}, ui);
        l->setMeasurementLogPath(QString());
        return l;
    }();
    static FileTransfer transfer(*link, ui);
    const QByteArray announced = "%D:" + QByteArray::number(size % 300) + '\r';
    link->processChunk(announced.constData(), announced.size());
    size_t at = 0;
    while (at < size) {
        const size_t piece = qMin<size_t>(size - at, 1 + data[at] % 97);
        link->processChunk(reinterpret_cast<const char *>(data) + at, qsizetype(piece));
        at += piece;
    }
    link->processChunk("\r\n", 2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_filestream";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    checkReceiver(data, size);
    checkLink(data, size);
    return 0;
}
