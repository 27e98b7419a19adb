#include <QtTest>

#include "sim/wiredecoder.h"

namespace {

QString render(const QList<WireEvent> &events)
{
    QStringList parts;
    for (const WireEvent &e : events)
        parts << describe(e);
    return parts.join(QStringLiteral(", "));
}

QByteArray hex(const char *spaced)
{
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

QList<WireEvent> feedInChunks(const QByteArray &stream, const QList<int> &cuts)
{
    WireDecoder decoder;
    QList<WireEvent> events;
    int from = 0;
    for (int cut : cuts) {
        events += decoder.feed(QByteArrayView(stream).sliced(from, cut - from));
        from = cut;
    }
    events += decoder.feed(QByteArrayView(stream).sliced(from));
    return events;
}

}  // namespace

class TestWireDecoder : public QObject
{
    Q_OBJECT
private slots:
    void pairsDecodeToTheirValues_data();
    void pairsDecodeToTheirValues();
    void splittingTheStreamAnywhereGivesTheSameEvents();
    void everyByteOfARandomStreamIsAccountedFor();
};

void TestWireDecoder::pairsDecodeToTheirValues_data()
{
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<QString>("events");

    QTest::newRow("data byte 0x41 comes as 81 A2") << hex("81 A2") << "data 41";
    QTest::newRow("data byte 0xFF comes as 9F A7") << hex("9F A7") << "data ff";
    QTest::newRow("data byte 0x00 comes as 80 A0") << hex("80 A0") << "data 00";
    QTest::newRow("bus byte 0x41 comes as 81 C2") << hex("81 C2") << "bus 65";
    QTest::newRow("bus word 320 addresses the collector") << hex("80 CA") << "bus 320";
    QTest::newRow("bus word 383 is the broadcast address") << hex("9F CB") << "bus 383";
    QTest::newRow("the largest bus word is 1023") << hex("9F DF") << "bus 1023";
    QTest::newRow("command 8 comes as 88 E1") << hex("88 E1") << "command 8";
    QTest::newRow("command 23 comes as 97 E1") << hex("97 E1") << "command 23";
    QTest::newRow("eight pacing bytes before a paced bus byte are dropped")
        << hex("80 80 80 80 80 80 80 80 81 C2")
        << "discarded 80, discarded 80, discarded 80, discarded 80, discarded 80, discarded 80, "
           "discarded 80, discarded 80, bus 65";
    QTest::newRow("a paced zero keeps its own first byte")
        << hex("80 80 80 80 80 80 80 80 80 C0")
        << "discarded 80, discarded 80, discarded 80, discarded 80, discarded 80, discarded 80, "
           "discarded 80, discarded 80, bus 0";
    QTest::newRow("a tag without a first byte is dropped") << hex("A2 81 A2") << "discarded a2, data 41";
    QTest::newRow("a first byte followed by another first byte is dropped")
        << hex("85 81 A2") << "discarded 85, data 41";
    QTest::newRow("a plain byte drops itself and the pending first byte")
        << hex("81 41 81 A2") << "discarded 81, discarded 41, data 41";
    QTest::newRow("a data tag above A7 cannot end a pair")
        << hex("81 A8 81 A2") << "discarded 81, discarded a8, data 41";
    QTest::newRow("only E1 ends a command pair") << hex("88 E0 88 E1") << "discarded 88, discarded e0, command 8";
    QTest::newRow("a whole request: argument, checksum, command")
        << hex("85 A0 9F A3 83 A2 97 E1") << "data 05, data 7f, data 43, command 23";
    QTest::newRow("a trailing first byte waits for its tag") << hex("81 A2 88") << "data 41";
}

void TestWireDecoder::pairsDecodeToTheirValues()
{
    QFETCH(QByteArray, wire);
    QFETCH(QString, events);
    WireDecoder decoder;
    QCOMPARE(render(decoder.feed(wire)), events);
}

void TestWireDecoder::splittingTheStreamAnywhereGivesTheSameEvents()
{
    const QByteArray stream = hex("80 CA 82 E1 80 80 80 80 80 80 80 80 81 C2 A5 85 A0 9F A3 83 A2 41 97 E1 "
                                  "88 E1 9F DF E1 85 9F A7 8C E1");
    WireDecoder whole;
    const QList<WireEvent> expected = whole.feed(stream);

    QList<int> everyByte;
    for (int i = 1; i < stream.size(); ++i)
        everyByte << i;
    QCOMPARE(render(feedInChunks(stream, everyByte)), render(expected));

    QRandomGenerator random(20240517);
    for (int round = 0; round < 200; ++round) {
        QList<int> cuts;
        for (int i = 1; i < stream.size(); ++i)
            if (random.bounded(3) == 0)
                cuts << i;
        QCOMPARE(render(feedInChunks(stream, cuts)), render(expected));
    }
}

void TestWireDecoder::everyByteOfARandomStreamIsAccountedFor()
{
    // A pair consumes two bytes, a discard one; only a trailing first byte waits.
    QRandomGenerator random(1544);
    for (int round = 0; round < 300; ++round) {
        QByteArray stream(random.bounded(1, 200), Qt::Uninitialized);
        for (char &c : stream)
            c = char(random.bounded(0x60, 0x100));  // mostly the high half, where pairs live
        WireDecoder decoder;
        qsizetype consumed = 0;
        for (const WireEvent &e : decoder.feed(stream))
            consumed += e.kind == WireEvent::Kind::Discarded ? 1 : 2;
        QCOMPARE(consumed + (decoder.hasPendingByte() ? 1 : 0), stream.size());
    }
}

QTEST_GUILESS_MAIN(TestWireDecoder)
#include "test_wiredecoder.moc"
