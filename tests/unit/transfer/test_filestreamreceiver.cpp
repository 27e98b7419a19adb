// The stream receiver on its own: every case is fed as one chunk, byte by
// byte and in random pieces, and must come out the same each time.
#include <QRandomGenerator>
#include <QtTest>

#include "link/crc16.h"
#include "link/filetransfer.h"

namespace {

using State = FileStreamReceiver::State;
using Failure = FileStreamReceiver::Failure;

QByteArray pattern(qsizetype size, quint32 seed = 7)
{
    QByteArray data(size, Qt::Uninitialized);
    QRandomGenerator rng(seed);
    for (char &c : data)
        c = char(rng.bounded(256));
    return data;
}

// The collector's stream written out again: a pair after data byte 16383,
// 32767, ... and after the last, each the crc16 of all data so far.
QByteArray streamOf(const QByteArray &data)
{
    QByteArray out;
    auto pair = [&](qsizetype count) {
        const quint16 crc = crc16(data.constData(), count);
        out.append(char(crc & 0xFF));
        out.append(char(crc >> 8));
    };
    if (data.isEmpty())
        pair(0);
    for (qsizetype i = 0; i < data.size(); ++i) {
        out.append(data[i]);
        const qsizetype count = i + 1;
        if (count == data.size() || count % 16384 == 16383)
            pair(count);
    }
    return out;
}

struct Outcome
{
    QByteArray data;
    State state = State::Idle;
    Failure failure = Failure::None;
    quint32 verified = 0;
    qsizetype taken = 0;   // bytes the stream took before it ended
    int checkpointBytes = 0;

    bool operator==(const Outcome &o) const
    {
        return data == o.data && state == o.state && failure == o.failure && verified == o.verified
               && taken == o.taken && checkpointBytes == o.checkpointBytes;
    }
};

char *toString(const Outcome &o)
{
    return qstrdup(QStringLiteral("state %1 failure %2 verified %3 taken %4 data %5 checkpoint bytes %6")
                       .arg(int(o.state))
                       .arg(int(o.failure))
                       .arg(o.verified)
                       .arg(o.taken)
                       .arg(o.data.size())
                       .arg(o.checkpointBytes)
                       .toLocal8Bit()
                       .constData());
}

// Feeds `stream` in pieces of the given sizes (the last repeats) as the link
// does: until the receiver takes fewer bytes than offered.
Outcome receive(quint32 length, const QByteArray &stream, const std::function<qsizetype()> &nextPiece)
{
    Outcome o;
    FileStreamReceiver r;
    r.onData = [&o](QByteArrayView b) {
        o.data += b.toByteArray();
        return true;
    };
    r.onCheckpointByte = [&o] { ++o.checkpointBytes; };
    r.begin(length);
    qsizetype at = 0;
    while (at < stream.size() && r.streaming()) {
        const qsizetype piece = qMin(nextPiece(), stream.size() - at);
        const qsizetype used = r.feed(stream.constData() + at, piece);
        o.taken += used;
        at += piece;
        if (used < piece)
            break;
    }
    o.state = r.state();
    o.failure = r.failure();
    o.verified = r.verified();
    return o;
}

}  // namespace

class TestFileStreamReceiver : public QObject
{
    Q_OBJECT
private slots:
    void deliveriesAgree_data();
    void deliveriesAgree();
    void checkpointsFallAfterByte16383AndEvery16384();
    void aReceiverThatCannotKeepTheDataFails();
};

void TestFileStreamReceiver::deliveriesAgree_data()
{
    QTest::addColumn<quint32>("length");
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("failure");
    QTest::addColumn<quint32>("verified");
    QTest::addColumn<qsizetype>("taken");

    const auto complete = int(State::Complete);
    const auto failed = int(State::Failed);
    const auto none = int(Failure::None);

    QTest::newRow("an empty file is the pair FF FF alone")
        << 0u << QByteArray("\xFF\xFF", 2) << QByteArray() << complete << none << 0u << qsizetype(2);

    for (qsizetype size : {1, 16382, 16383, 16384, 16385, 32767, 32768, 50000}) {
        const QByteArray data = pattern(size);
        const QByteArray stream = streamOf(data);
        QTest::addRow("a file of %d bytes arrives whole", int(size))
            << quint32(size) << stream << data << complete << none << quint32(size) << stream.size();
    }

    {
        const QByteArray data = pattern(16384);
        QCOMPARE(streamOf(data).size(), 16384 + 4);   // two pairs
        const QByteArray tail("\r\n%A\r\nxyz");
        QTest::newRow("bytes after the last pair are not the stream's")
            << 16384u << streamOf(data) + tail << data << complete << none << 16384u << qsizetype(16388);
    }
    {
        const QByteArray data = pattern(40000);
        QByteArray stream = streamOf(data);
        stream[20000 + 2] = char(stream[20000 + 2] ^ 0x40);   // in the second block
        QTest::newRow("a wrong byte in the second block fails it with the first block verified")
            << 40000u << stream << QByteArray() << failed << int(Failure::BadChecksum) << 16383u
            << qsizetype(16383 + 2 + 16384 + 1);
    }
    {
        const QByteArray data = pattern(100);
        QByteArray stream = streamOf(data);
        stream[101] = char(stream[101] ^ 1);   // the high byte of the last pair
        QTest::newRow("a wrong high byte of the last pair fails")
            << 100u << stream << QByteArray() << failed << int(Failure::BadChecksum) << 0u << qsizetype(102);
    }
    {
        const QByteArray data = pattern(30000);
        const QByteArray stream = streamOf(data).left(16385 + 5000) + "\r%N\r" + "more";
        QTest::newRow("an embedded refusal fails at once")
            << 30000u << stream << QByteArray() << failed << int(Failure::Refused) << 16383u
            << qsizetype(16385 + 5000 + 4);
    }
    {
        const QByteArray data = pattern(30000);
        const QByteArray stream = streamOf(data).left(700) + "\r%A\r" + streamOf(data).mid(700);
        QTest::newRow("an acknowledgement before the announced length is a failure, not a short file")
            << 30000u << stream << QByteArray() << failed << int(Failure::EarlyAcknowledge) << 0u << qsizetype(704);
    }
    {
        QByteArray data = pattern(2000);
        data.replace(500, 4, "\r%S\r");
        const QByteArray stream = streamOf(data);
        QTest::newRow("CR % x CR with another x is data, checked like any other")
            << 2000u << stream << data << complete << none << 2000u << stream.size();
    }
    {
        const QByteArray data = pattern(3000);
        const QByteArray stream = streamOf(data).left(3000);
        QTest::newRow("a stream cut after its last data byte is not complete")
            << 3000u << stream << data << int(State::PairLow) << none << 0u << qsizetype(3000);
    }
    {
        const QByteArray data = pattern(16383 + 10);
        const QByteArray stream = streamOf(data).chopped(1);
        QTest::newRow("a stream cut inside its last pair is not complete")
            << quint32(data.size()) << stream << data << int(State::PairHigh) << none << 16383u << stream.size();
    }
    {
        const QByteArray data = pattern(5000);
        QByteArray stream = streamOf(data);
        stream.remove(10, 1);
        QTest::newRow("a lost byte shows at the next pair")
            << 5000u << stream << QByteArray() << failed << int(Failure::BadChecksum) << 0u << stream.size();
    }
}

void TestFileStreamReceiver::deliveriesAgree()
{
    QFETCH(quint32, length);
    QFETCH(QByteArray, stream);
    QFETCH(QByteArray, data);
    QFETCH(int, state);
    QFETCH(int, failure);
    QFETCH(quint32, verified);
    QFETCH(qsizetype, taken);

    const Outcome whole = receive(length, stream, [] { return std::numeric_limits<qsizetype>::max(); });
    QCOMPARE(int(whole.state), state);
    QCOMPARE(int(whole.failure), failure);
    QCOMPARE(whole.verified, verified);
    QCOMPARE(whole.taken, taken);
    // What a failed stream wrote does not matter; a complete one wrote the file.
    if (state != int(State::Failed))
        QCOMPARE(whole.data, data);

    const Outcome single = receive(length, stream, [] { return qsizetype(1); });
    QCOMPARE(single, whole);
    for (quint32 seed : {1u, 2u, 3u}) {
        QRandomGenerator rng(seed);
        const Outcome pieces = receive(length, stream, [&rng] { return qsizetype(rng.bounded(1, 5000)); });
        QCOMPARE(pieces, whole);
    }
    // A marker split across every possible chunk boundary.
    for (qsizetype cut = 1; cut < qMin<qsizetype>(stream.size(), 8); ++cut) {
        bool first = true;
        const Outcome two = receive(length, stream, [&] {
            const qsizetype piece = first ? taken - cut : std::numeric_limits<qsizetype>::max();
            first = false;
            return qMax<qsizetype>(1, piece);
        });
        QCOMPARE(two, whole);
    }
}

void TestFileStreamReceiver::checkpointsFallAfterByte16383AndEvery16384()
{
    const QByteArray data = pattern(16383 + 16384 + 16384 + 5);
    const Outcome o = receive(quint32(data.size()), streamOf(data), [] { return qsizetype(4096); });
    QCOMPARE(int(o.state), int(State::Complete));
    QCOMPARE(o.checkpointBytes, 4 * 2);
}

void TestFileStreamReceiver::aReceiverThatCannotKeepTheDataFails()
{
    FileStreamReceiver r;
    r.onData = [](QByteArrayView) { return false; };
    r.begin(10);
    const QByteArray stream = streamOf(pattern(10));
    r.feed(stream.constData(), stream.size());
    QCOMPARE(int(r.state()), int(State::Failed));
    QCOMPARE(int(r.failure()), int(Failure::DataRejected));
}

QTEST_GUILESS_MAIN(TestFileStreamReceiver)
#include "test_filestreamreceiver.moc"
