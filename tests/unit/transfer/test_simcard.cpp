// The simulated collector's card, spoken to in wire bytes: what it lists,
// how it streams a file, and the writing commands of the task upload.
#include <QtTest>

#include "link/crc16.h"
#include "link/wire.h"
#include "sim/card/simcard.h"
#include "unit/sim/simfixture.h"

namespace {

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray plain(QByteArrayView argument, quint8 code)
{
    return wire::dataBytes(argument) + wire::checksumPairs(argument) + wire::command(code);
}

struct CardFixture : SimFixture
{
    SimCard *card = new SimCard(collector);

    QByteArray send(const QByteArray &wireBytes)
    {
        take();
        collector.receive(wireBytes);
        return take();
    }
    QByteArray open(const QByteArray &name) { return send(plain(name, 13)); }
    QByteArray seek(quint32 offset) { return send(plain(le32(offset), 17)); }
    QByteArray read() { return send(plain(le32(0), 16)); }
};

}  // namespace

class TestSimCard : public QObject
{
    Q_OBJECT
private slots:
    void theDirectoryIsOneLinePerFileAfterAnEmptyOne();
    void aFileStreamsWithAPairAfterByte16383AndAtTheEnd_data();
    void aFileStreamsWithAPairAfterByte16383AndAtTheEnd();
    void aSeekStartsTheStreamAndItsChecksumsThere();
    void namesMatchWithoutRegardToCase();
    void refusals_data();
    void refusals();
    void theCurrentFileIsTheNewestDayFile();
    void blocksWrittenAfterCreateMakeTheFile_data();
    void blocksWrittenAfterCreateMakeTheFile();
    void aBlockWithABadChecksumOrTooLongIsRefused();
    void deleteRemovesTheFile();
    void aResetEndsAPacedStreamAndReportsWaitForItsEnd();
};

void TestSimCard::theDirectoryIsOneLinePerFileAfterAnEmptyOne()
{
    CardFixture f;
    f.card->setFile("24-05-17.INC", QByteArray(2780085, 'x'));
    f.card->setFile("RULE.BIN", QByteArray(29, 'r'));
    QCOMPARE(f.send(wire::command(19)), QByteArray("%DIR:\r\n%DIR:24-05-17.INC,2780085\r\n%DIR:RULE.BIN,29\r\n"));
    f.card->clear();
    QCOMPARE(f.send(wire::command(19)), QByteArray("%DIR:\r\n"));
}

void TestSimCard::aFileStreamsWithAPairAfterByte16383AndAtTheEnd_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QList<int>>("pairsAfter");
    QTest::newRow("empty: the pair of no data") << 0 << QList<int>{0};
    QTest::newRow("16383 bytes: one pair") << 16383 << QList<int>{16383};
    QTest::newRow("16384 bytes: two pairs") << 16384 << QList<int>{16383, 16384};
    QTest::newRow("40000 bytes") << 40000 << QList<int>{16383, 32767, 40000};
}

void TestSimCard::aFileStreamsWithAPairAfterByte16383AndAtTheEnd()
{
    QFETCH(int, size);
    QFETCH(QList<int>, pairsAfter);
    CardFixture f;
    QByteArray data(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        data[i] = char(i * 13 + 5);
    f.card->setFile("A.INC", data);
    QCOMPARE(f.open("A.INC"), QByteArray("%A\r\n"));
    const QByteArray stream = f.read();

    // One terminator only: the next byte is already data.
    QByteArray expected = "%D:" + QByteArray::number(size) + "\r";
    int from = 0;
    for (int end : pairsAfter) {
        expected += data.mid(from, end - from);
        const quint16 crc = crc16(data.constData(), end);
        expected += char(crc & 0xFF);
        expected += char(crc >> 8);
        from = end;
    }
    QCOMPARE(stream, expected);
    QCOMPARE(f.card->streamsStarted(), 1);
}

void TestSimCard::aSeekStartsTheStreamAndItsChecksumsThere()
{
    CardFixture f;
    const QByteArray data = QByteArray(20000, 'a') + QByteArray(20000, 'b');
    f.card->setFile("A.INC", data);
    f.open("A.INC");
    QCOMPARE(f.seek(16383), QByteArray("%A\r\n"));
    const QByteArray rest = data.mid(16383);
    QCOMPARE(f.read(), "%D:" + QByteArray::number(rest.size()) + "\r" + SimCard::encodeStream(rest));
}

void TestSimCard::namesMatchWithoutRegardToCase()
{
    CardFixture f;
    f.card->setFile("24-05-17.INC", "abc");
    QCOMPARE(f.open("24-05-17.inc"), QByteArray("%A\r\n"));
    QVERIFY(f.read().startsWith("%D:3\r"));
}

void TestSimCard::refusals_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("opening an unknown file") << plain("NONE.INC", 13);
    QTest::newRow("seeking with no file open") << plain(le32(0), 17);
    QTest::newRow("reading with no file open") << plain(le32(0), 16);
    QTest::newRow("seeking past the end") << plain("A.INC", 13) + plain(le32(4), 17);
    QTest::newRow("an offset of three bytes") << plain("A.INC", 13) + plain(QByteArray(3, '\0'), 17);
    QTest::newRow("opening the current file by another word") << plain("latest", 10);
    QTest::newRow("writing with no file created") << plain("data", 15);
    QTest::newRow("creating a file without a name") << plain("", 11);
    QTest::newRow("deleting an unknown file") << plain("NONE.INC", 20);
}

void TestSimCard::refusals()
{
    QFETCH(QByteArray, request);
    CardFixture f;
    f.card->setFile("A.INC", "abc");
    QVERIFY(f.send(request).endsWith("%N\r\n"));
}

void TestSimCard::theCurrentFileIsTheNewestDayFile()
{
    CardFixture f;
    f.card->setFile("24-05-16.INC", "old");
    f.card->setFile("24-05-17.INC", "new");
    f.card->setFile("RULE.BIN", "task file");
    QCOMPARE(f.send(plain("current", 10)), QByteArray("%A\r\n"));
    QVERIFY(f.read().startsWith("%D:3\rnew"));
}

void TestSimCard::blocksWrittenAfterCreateMakeTheFile_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("66 bytes in one block") << 66;
    QTest::newRow("600 bytes as 256, 256 and 88") << 600;
    QTest::newRow("512 bytes as two full blocks") << 512;
}

void TestSimCard::blocksWrittenAfterCreateMakeTheFile()
{
    QFETCH(int, size);
    CardFixture f;
    f.card->setFile("rule.bin", "an old task");
    QByteArray data(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        data[i] = char(i * 31);
    // The checksum after the name is 0x1FA0, sent low byte first.
    QCOMPARE(wire::checksumPairs("rule.bin"), wire::dataBytes(QByteArray("\xA0\x1F", 2)));
    QCOMPARE(f.send(plain("rule.bin", 11)), QByteArray("%A\r\n"));
    for (int at = 0; at < size; at += 256)
        QCOMPARE(f.send(plain(data.mid(at, 256), 15)), QByteArray("%A\r\n"));
    QCOMPARE(f.send(wire::command(14)), QByteArray("%A\r\n"));
    QCOMPARE(f.card->file("RULE.BIN"), std::optional<QByteArray>(data));
    QCOMPARE(f.card->files().size(), qsizetype(1));
}

void TestSimCard::aBlockWithABadChecksumOrTooLongIsRefused()
{
    CardFixture f;
    f.send(plain("rule.bin", 11));
    const QByteArray block(10, 'b');
    QCOMPARE(f.send(wire::dataBytes(block) + wire::checksumPairs("other") + wire::command(15)),
             QByteArray("%N\r\n"));
    QCOMPARE(f.send(plain(QByteArray(257, 'c'), 15)), QByteArray("%N\r\n"));
    QCOMPARE(f.card->file("RULE.BIN"), std::optional<QByteArray>(QByteArray()));
}

void TestSimCard::deleteRemovesTheFile()
{
    CardFixture f;
    f.card->setFile("A.INC", "a");
    f.card->setFile("B.INC", "b");
    QCOMPARE(f.send(plain("a.inc", 20)), QByteArray("%A\r\n"));
    QVERIFY(!f.card->file("A.INC"));
    QVERIFY(f.card->file("B.INC"));
}

void TestSimCard::aResetEndsAPacedStreamAndReportsWaitForItsEnd()
{
    CollectorConfig config = CollectorConfig::quiet();
    config.reportMs = 10;
    config.cabinets = {{1, 1}};
    CardFixture f;
    f.collector.setConfig(config);
    f.card->setFile("A.INC", QByteArray(20000, 'a'));
    f.card->setStreamRate(200000);
    f.open("A.INC");
    f.collector.receive(plain(le32(0), 16));
    QTRY_VERIFY(!f.card->streamRunning());
    const QByteArray whole = f.take();
    // The stream arrives in one piece, reports only around it.
    const QByteArray stream = "%D:20000\r" + SimCard::encodeStream(QByteArray(20000, 'a'));
    QVERIFY(whole.contains(stream));

    f.collector.receive(plain(le32(0), 16));
    QTRY_VERIFY(f.sent.size() > 1000);
    f.collector.receive(wire::command(8));
    QVERIFY(!f.card->streamRunning());
    const qsizetype sentAtReset = f.sent.size();
    QTest::qWait(100);
    QVERIFY(f.sent.size() > sentAtReset);   // reports go on
    QVERIFY(!f.sent.mid(sentAtReset).contains("aaaa"));
}

QTEST_GUILESS_MAIN(TestSimCard)
#include "test_simcard.moc"
