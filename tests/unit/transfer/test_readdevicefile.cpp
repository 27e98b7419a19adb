// readDeviceFile against the in-process collector and its card: attempts,
// repeats from the verified point, the question, "Стоп", names and the cache.
#include <QSignalSpy>
#include <QtTest>

#include "transferfixture.h"

namespace {

using Fault = SimCard::StreamFault;
using Kind = SimCard::StreamFault::Kind;

Fault fault(Kind kind, qint64 offset, char reply = 'N')
{
    Fault f;
    f.kind = kind;
    f.offset = offset;
    f.reply = reply;
    f.disconnectMs = 60;
    return f;
}

}  // namespace

Q_DECLARE_METATYPE(QList<SimCard::StreamFault>)

class TestReadDeviceFile : public QObject
{
    Q_OBJECT
private slots:
    void attemptsAndRepeats_data();
    void attemptsAndRepeats();
    void fiveFailuresAskAndNoKeepsTheVerifiedPart();
    void yesStartsTheCountAgain();
    void stopInTheMiddleStartsTheFileAgain();
    void progressNamesTheFileAndClearsAtTheEnd();
    void namesThatLeaveTheCacheAreRefused_data();
    void namesThatLeaveTheCacheAreRefused();
    void aCacheFileThatCannotBeCreatedFailsTheRead();
    void aCacheFileThatCannotBeWrittenFailsTheRead();
    void anExistingCopyIsReplacedUnderItsRealName();
    void anUnknownFileIsRefusedByTheCollector();
};

void TestReadDeviceFile::attemptsAndRepeats_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QList<Fault>>("faults");
    QTest::addColumn<bool>("ackAfterStream");
    QTest::addColumn<QList<quint32>>("seeks");

    QTest::newRow("16383 bytes come in one attempt") << 16383 << QList<Fault>{} << false << QList<quint32>{0};
    QTest::newRow("16384 bytes come in one attempt") << 16384 << QList<Fault>{} << false << QList<quint32>{0};
    QTest::newRow("an empty file comes in one attempt") << 0 << QList<Fault>{} << false << QList<quint32>{0};
    QTest::newRow("an acknowledgement after the stream changes nothing")
        << 40000 << QList<Fault>{} << true << QList<quint32>{0};
    // Stream offset 20002 is data byte 20000: the pair after byte 16383 comes first.
    QTest::newRow("a bad checksum in the second block repeats at 16383")
        << 40000 << QList<Fault>{fault(Kind::FlipByte, 20002)} << false << QList<quint32>{0, 16383};
    QTest::newRow("a repeat that verified its own first pair goes on at 32766")
        << 60000 << QList<Fault>{fault(Kind::FlipByte, 20002), fault(Kind::FlipByte, 20002)} << false
        << QList<quint32>{0, 16383, 32766};
    QTest::newRow("an embedded refusal repeats the attempt")
        << 30000 << QList<Fault>{fault(Kind::EmbeddedReply, 5000, 'N')} << false << QList<quint32>{0, 0};
    QTest::newRow("an early acknowledgement is a failed attempt, not a short file")
        << 30000 << QList<Fault>{fault(Kind::EmbeddedReply, 18000, 'A')} << false << QList<quint32>{0, 16383};
    QTest::newRow("a lost byte repeats the attempt")
        << 30000 << QList<Fault>{fault(Kind::DropBytes, 100)} << false << QList<quint32>{0, 0};
    QTest::newRow("silence in the middle repeats after the reply time-out")
        << 30000 << QList<Fault>{fault(Kind::SilenceFrom, 17000)} << false << QList<quint32>{0, 16383};
    QTest::newRow("silence right after the last data byte is no success")
        << 3000 << QList<Fault>{fault(Kind::SilenceFrom, 3000)} << false << QList<quint32>{0, 0};
    // What was on its way when the cable came out never arrives.
    QTest::newRow("a disconnect in the middle repeats on the reopened port")
        << 30000 << QList<Fault>{fault(Kind::Disconnect, 20000)} << false << QList<quint32>{0, 0};
}

void TestReadDeviceFile::attemptsAndRepeats()
{
    QFETCH(int, size);
    QFETCH(QList<Fault>, faults);
    QFETCH(bool, ackAfterStream);
    QFETCH(QList<quint32>, seeks);

    TransferFixture f;
    const QByteArray data = randomBytes(size, quint32(size));
    f.card->setFile("24-05-17.INC", data);
    f.card->setAckAfterStream(ackAfterStream);
    for (const Fault &fault : faults)
        f.card->queueStreamFault(fault);
    QVERIFY(f.waitOpen());

    QVERIFY(f.transfer->readDeviceFile(QStringLiteral("24-05-17.INC")));
    QCOMPARE(f.seeks(), seeks);
    QCOMPARE(f.cached(QStringLiteral("24-05-17.INC")), data);
    QVERIFY(f.ui.questions.isEmpty());
    QVERIFY(f.ui.messages.isEmpty());
    QCOMPARE(f.transfer->verifiedOffset(), quint32(size));
    // Each successful read closes the file on the collector once.
    QCOMPARE(f.commands(14), 1);
}

void TestReadDeviceFile::fiveFailuresAskAndNoKeepsTheVerifiedPart()
{
    TransferFixture f;
    const QByteArray data = randomBytes(60000, 5);
    f.card->setFile("24-05-17.INC", data);
    // The first stream breaks in its second block, after 16383 verified
    // bytes; every repeat from there breaks before its first pair.
    f.card->queueStreamFault(fault(Kind::EmbeddedReply, 20002, 'N'));
    f.card->setPersistentStreamFault(fault(Kind::EmbeddedReply, 100, 'N'));
    f.ui.answer = false;
    QVERIFY(f.waitOpen());

    QVERIFY(!f.transfer->readDeviceFile(QStringLiteral("24-05-17.INC")));
    QCOMPARE(f.seeks(), (QList<quint32>{0, 16383, 16383, 16383, 16383}));
    QCOMPARE(f.ui.questions,
             QStringList{QStringLiteral("Ошибка во время приема файла.\rПозиция: 16383\rДлинна файла: 43617 байт"
                                        "\r\rПовторить считывание?")});
    // The first repeat reuses the port; the later ones reopen it first.
    QCOMPARE(f.opens, 1 + 4);
    QCOMPARE(f.cached(QStringLiteral("24-05-17.INC")), data.left(16383));
}

void TestReadDeviceFile::yesStartsTheCountAgain()
{
    TransferFixture f;
    f.card->setFile("A.INC", randomBytes(1000, 1));
    f.card->setPersistentStreamFault(fault(Kind::EmbeddedReply, 10, 'N'));
    f.ui.yesAnswers = 1;
    QVERIFY(f.waitOpen());

    QVERIFY(!f.transfer->readDeviceFile(QStringLiteral("A.INC")));
    QCOMPARE(f.ui.questions.size(), 2);
    QCOMPARE(f.seeks().size(), 10);
}

void TestReadDeviceFile::stopInTheMiddleStartsTheFileAgain()
{
    TransferFixture f;
    const QByteArray data = randomBytes(70000, 9);
    f.card->setFile("24-05-17.INC", data);
    f.card->setStreamRate(400000);
    QVERIFY(f.waitOpen());
    bool stopped = false;
    QObject::connect(f.transfer.get(), &FileTransfer::checkpointPassed, [&](quint32 offset) {
        if (!stopped && offset >= 32767) {
            stopped = true;
            f.transfer->stop();
        }
    });

    QVERIFY(f.transfer->readDeviceFile(QStringLiteral("24-05-17.INC")));
    QVERIFY(stopped);
    QCOMPARE(f.seeks(), (QList<quint32>{0, 0}));
    QCOMPARE(f.cached(QStringLiteral("24-05-17.INC")), data);
    QVERIFY(f.ui.questions.isEmpty());
}

void TestReadDeviceFile::progressNamesTheFileAndClearsAtTheEnd()
{
    TransferFixture f;
    f.card->setFile("24-05-17.INC", randomBytes(50000, 3));
    QVERIFY(f.waitOpen());
    QVERIFY(f.transfer->readDeviceFile(QStringLiteral("24-05-17.INC")));
    QCOMPARE(f.ui.progressTexts, (QStringList{QStringLiteral("Прием файла 24-05-17.INC..."), QString()}));
    QCOMPARE(f.ui.progress, 0);
}

void TestReadDeviceFile::namesThatLeaveTheCacheAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("a parent folder") << "../escape.INC";
    QTest::newRow("a path below") << "sub/file.INC";
    QTest::newRow("a backslash path") << "..\\escape.INC";
    QTest::newRow("a drive prefix") << "C:escape.INC";
    QTest::newRow("a control character") << "esc\x01ape.INC";
    QTest::newRow("two dots alone") << "..";
    QTest::newRow("one dot alone") << ".";
    QTest::newRow("no name at all") << "";
    QTest::newRow("a character the link cannot carry") << QString::fromUtf8("\xE2\x82\xAC\xE2\x98\x83.INC");
}

void TestReadDeviceFile::namesThatLeaveTheCacheAreRefused()
{
    QFETCH(QString, name);
    TransferFixture f;
    QVERIFY(f.waitOpen());
    const QStringList before = QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    QVERIFY(!f.transfer->readDeviceFile(name));
    QCOMPARE(f.ui.messages.size(), 1);
    QVERIFY(!f.ui.messages.first().isEmpty());
    QCOMPARE(f.commands(13) + f.commands(10), 0);
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QVERIFY(QDir(f.cachePath()).isEmpty());
}

void TestReadDeviceFile::aCacheFileThatCannotBeCreatedFailsTheRead()
{
    TransferFixture f;
    f.card->setFile("A.INC", "data");
    f.transfer->setCacheFolder(f.dir.filePath(QStringLiteral("no-such-folder")));
    QVERIFY(f.waitOpen());
    QVERIFY(!f.transfer->readDeviceFile(QStringLiteral("A.INC")));
    QCOMPARE(f.ui.messages.size(), 1);
    QVERIFY(f.ui.messages.first().startsWith(QStringLiteral("Невозможно создать файл")));
    QCOMPARE(f.commands(13), 0);
}

void TestReadDeviceFile::aCacheFileThatCannotBeWrittenFailsTheRead()
{
#ifdef Q_OS_LINUX
    TransferFixture f;
    f.card->setFile("A.INC", randomBytes(5000, 2));
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), QDir(f.cachePath()).filePath(QStringLiteral("A.INC"))));
    QVERIFY(f.waitOpen());
    QVERIFY(!f.transfer->readDeviceFile(QStringLiteral("A.INC")));
    QCOMPARE(f.ui.messages.size(), 1);
    QVERIFY2(f.ui.messages.first().startsWith(QStringLiteral("Ошибка записи в файл")), qPrintable(f.ui.messages.first()));
    QVERIFY(f.ui.questions.isEmpty());
#else
    QSKIP("needs /dev/full");
#endif
}

void TestReadDeviceFile::anExistingCopyIsReplacedUnderItsRealName()
{
    TransferFixture f;
    const QByteArray data = randomBytes(3000, 4);
    f.card->setFile("24-05-17.INC", data);
    QFile old(QDir(f.cachePath()).filePath(QStringLiteral("24-05-17.inc")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older, longer copy of the same day file ..........................");
    old.close();
    QVERIFY(f.waitOpen());

    QVERIFY(f.transfer->readDeviceFile(QStringLiteral("24-05-17.INC")));
    QCOMPARE(QDir(f.cachePath()).entryList(QDir::Files), QStringList{QStringLiteral("24-05-17.inc")});
    QCOMPARE(f.cached(QStringLiteral("24-05-17.inc")), data);
}

void TestReadDeviceFile::anUnknownFileIsRefusedByTheCollector()
{
    TransferFixture f;
    f.ui.answer = false;
    QVERIFY(f.waitOpen());
    QVERIFY(!f.transfer->readDeviceFile(QStringLiteral("NONE.INC")));
    QCOMPARE(f.commands(13), 5);
    QCOMPARE(f.commands(17), 0);
    QCOMPARE(f.ui.questions.size(), 1);
}

QTEST_GUILESS_MAIN(TestReadDeviceFile)
#include "test_readdevicefile.moc"
