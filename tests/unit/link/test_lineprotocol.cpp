#include <QSignalSpy>
#include <QtTest>

#include "link/link.h"
#include "link/lineprotocol.h"
#include "link/operatorui.h"
#include "link/tokens.h"
#include "support/fakeport.h"

// Records what a byte stream produced, so that different ways of delivering
// the same bytes can be compared.
struct Recorder : LineProtocol::Events
{
    QList<QByteArray> lines;
    QList<QByteArray> frames;
    QList<bool> markers;
    const LineProtocol *protocol = nullptr;
    LineProtocol *mutableProtocol = nullptr;
    bool lineReceived(const QByteArray &line) override { lines << line; return false; }
    void frameReceived(int slot) override
    {
        frames << QByteArray(reinterpret_cast<const char *>(protocol->slotData(slot)), 14);
        mutableProtocol->advanceFrameSlot();
    }
    void gsmMarker(bool talking) override { markers << talking; }
};

static QByteArray frame(char fill)
{
    QByteArray f("\xAAW");
    f.append(12, fill);
    return f;
}

class TestLineProtocol : public QObject
{
    Q_OBJECT
private slots:
    void tokensAreMatchedInOrder_data();
    void tokensAreMatchedInOrder();
    void linesHaveTheirEffects_data();
    void linesHaveTheirEffects();
    void oneByteAtATimeGivesTheSameEventsAsOneChunk();
    void twoFramesSeparatedByCrLfAreBothCapturedAndMakeNoLine();
    void framesBackToBackAreBothCapturedAndTheByteAfterAFrameIsText();
    void aBrokenFrameHeaderIsDroppedWithoutReachingTheLine();
    void aLineThatNeverEndsIsCappedAndTheNextLineStillArrives();
    void markerBytesShowTheGsmPanelAndStayInTheLine();
    void unreadableNumbersDoNotStopTheLink();
};

void TestLineProtocol::tokensAreMatchedInOrder_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("kind");
    QTest::newRow("ack") << QByteArray("%A") << int(LineKind::Ack);
    QTest::newRow("ack with a trailing blank is not an ack") << QByteArray("%A ") << int(LineKind::Other);
    QTest::newRow("ack with a character before it") << QByteArray("x%A") << int(LineKind::Other);
    QTest::newRow("nak") << QByteArray("%N") << int(LineKind::Nak);
    QTest::newRow("status") << QByteArray("%S12") << int(LineKind::Status);
    QTest::newRow("directory entry") << QByteArray("%DIR:a.sta,123") << int(LineKind::Dir);
    QTest::newRow("empty directory") << QByteArray("%DIR:") << int(LineKind::Dir);
    QTest::newRow("gsm settings") << QByteArray("%ZEV: #S") << int(LineKind::Zev);
    QTest::newRow("gsm token without blank") << QByteArray("%ZEV:#S") << int(LineKind::Other);
    QTest::newRow("cabinet") << QByteArray("%BOX: 5,1") << int(LineKind::Box);
    QTest::newRow("time") << QByteArray("%TIME:12:00") << int(LineKind::Time);
    QTest::newRow("no time") << QByteArray("%NOTIME") << int(LineKind::NoTime);
    QTest::newRow("card") << QByteArray("%CARD:1") << int(LineKind::Card);
    QTest::newRow("rule") << QByteArray("%RULE:0") << int(LineKind::Rule);
    QTest::newRow("data") << QByteArray("%D:100") << int(LineKind::Data);
    // "%S" comes before "%D:" but not before "%DIR:"; "%SOMETHING" is a status line.
    QTest::newRow("status wins over longer words") << QByteArray("%SOMETHING") << int(LineKind::Status);
    QTest::newRow("lower case is not a token") << QByteArray("%a") << int(LineKind::Other);
}

void TestLineProtocol::tokensAreMatchedInOrder()
{
    QFETCH(QByteArray, line);
    QFETCH(int, kind);
    QCOMPARE(int(classifyLine(line)), kind);
}

void TestLineProtocol::linesHaveTheirEffects_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("signal");
    QTest::addColumn<QString>("argument");
    QTest::newRow("card present") << QByteArray("%CARD:1\r\n") << "card" << "Карта SD установлена";
    QTest::newRow("card absent") << QByteArray("%CARD:0\r\n") << "card" << "Карта SD не установлена!";
    QTest::newRow("card without state") << QByteArray("%CARD:\r\n") << "card" << "Карта SD не установлена!";
    QTest::newRow("task present") << QByteArray("%RULE:1\n") << "rule" << "Задание ОК";
    QTest::newRow("no task") << QByteArray("%RULE:x\n") << "rule" << "Нет задания!";
    QTest::newRow("time") << QByteArray("%TIME:11.12.26 10:00:00\r") << "time" << "11.12.26 10:00:00";
    QTest::newRow("directory entry in cp1251") << QByteArray("%DIR:\xF4\xE0\xE9\xEB.txt,12\r\n") << "dir" << "файл.txt,12";
    QTest::newRow("empty directory") << QByteArray("%DIR:\r\n") << "dir" << "";
    QTest::newRow("cabinet report") << QByteArray("%BOX: 5,1\r\n") << "box" << " 5,1";
    QTest::newRow("anything else") << QByteArray("hello\r\n") << "terminal" << "hello";
    QTest::newRow("marker before a token") << QByteArray("\x03%A\r\n") << "terminal" << "\x03%A";
}

void TestLineProtocol::linesHaveTheirEffects()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, signal);
    QFETCH(QString, argument);
    ScriptedOperator ui;
    Link link(nullptr, ui);
    QStringList seen;
    connect(&link, &Link::cardCaption, this, [&](const QString &s) { seen << "card:" + s; });
    connect(&link, &Link::ruleCaption, this, [&](const QString &s) { seen << "rule:" + s; });
    connect(&link, &Link::timeReported, this, [&](const QString &s) { seen << "time:" + s; });
    connect(&link, &Link::dirLine, this, [&](const QString &s) { seen << "dir:" + s; });
    connect(&link, &Link::boxLine, this, [&](const QByteArray &s) { seen << "box:" + QString::fromLatin1(s); });
    connect(&link, &Link::terminalLine, this, [&](const QString &s) { seen << "terminal:" + s; });
    link.processChunk(bytes.constData(), bytes.size());
    QCOMPARE(seen, QStringList{signal + ":" + argument});
}

void TestLineProtocol::oneByteAtATimeGivesTheSameEventsAsOneChunk()
{
    QByteArray stream = "%A\r\n\r\n%BOX: 1,2\n" + frame('a') + "\r\nline\x03 two\x04\r\n" + frame('b')
                        + "\xAA" "Xjunk\n%N\r";
    LineProtocol whole, single;
    Recorder a, b;
    a.protocol = a.mutableProtocol = &whole;
    b.protocol = b.mutableProtocol = &single;
    QCOMPARE(whole.feed(stream.constData(), stream.size(), a), stream.size());
    for (char c : stream)
        QCOMPARE(single.feed(&c, 1, b), qsizetype(1));
    QCOMPARE(a.lines, b.lines);
    QCOMPARE(a.frames, b.frames);
    QCOMPARE(a.markers, b.markers);
    QCOMPARE(a.lines, (QList<QByteArray>{"%A", "%BOX: 1,2", "line\x03 two\x04", "junk", "%N"}));
    QCOMPARE(a.frames.size(), 2);
    QCOMPARE(a.markers, (QList<bool>{true, false}));
}

void TestLineProtocol::twoFramesSeparatedByCrLfAreBothCapturedAndMakeNoLine()
{
    LineProtocol p;
    Recorder r;
    r.protocol = r.mutableProtocol = &p;
    const QByteArray stream = frame('\x01') + "\r\n" + frame('\x02') + "\r\n";
    p.feed(stream.constData(), stream.size(), r);
    QCOMPARE(r.frames, (QList<QByteArray>{frame('\x01'), frame('\x02')}));
    QVERIFY(r.lines.isEmpty());
    QCOMPARE(p.frameSlot(), 2);
}

void TestLineProtocol::framesBackToBackAreBothCapturedAndTheByteAfterAFrameIsText()
{
    LineProtocol p;
    Recorder r;
    r.protocol = r.mutableProtocol = &p;
    const QByteArray stream = frame('\x05') + frame('\x06') + "Z\r\n";
    p.feed(stream.constData(), stream.size(), r);
    QCOMPARE(r.frames, (QList<QByteArray>{frame('\x05'), frame('\x06')}));
    QCOMPARE(r.lines, QList<QByteArray>{"Z"});
}

void TestLineProtocol::aBrokenFrameHeaderIsDroppedWithoutReachingTheLine()
{
    LineProtocol p;
    Recorder r;
    r.protocol = r.mutableProtocol = &p;
    // 0xAA then 'Q': the frame attempt ends and both bytes are gone; the
    // text after it starts a fresh line.
    const QByteArray stream = "ab\xAAQcd\r\n";
    p.feed(stream.constData(), stream.size(), r);
    QVERIFY(r.frames.isEmpty());
    QCOMPARE(r.lines, QList<QByteArray>{"cd"});
}

void TestLineProtocol::aLineThatNeverEndsIsCappedAndTheNextLineStillArrives()
{
    LineProtocol p;
    Recorder r;
    r.protocol = r.mutableProtocol = &p;
    const QByteArray chunk(4096, 'x');
    for (int i = 0; i < 40; ++i) {
        p.feed(chunk.constData(), chunk.size(), r);
        QVERIFY(p.pendingLine().size() <= LineProtocol::maxLineLength);
    }
    const QByteArray tail = "\r\n%A\r\n";
    p.feed(tail.constData(), tail.size(), r);
    QCOMPARE(r.lines, QList<QByteArray>{"%A"});
    QCOMPARE(p.droppedLongLines(), quint64(1));
}

void TestLineProtocol::markerBytesShowTheGsmPanelAndStayInTheLine()
{
    ScriptedOperator ui;
    LinkTimings t;
    t.gsmPanelMs = 50;
    Link link(nullptr, ui, t);
    QSignalSpy talking(&link, &Link::gsmTalkingChanged);
    link.processChunk("\x03", 1);
    QVERIFY(link.gsmTalking());
    link.processChunk("\x04", 1);
    QVERIFY(!link.gsmTalking());
    // Byte 3 and then silence: the panel hides by itself.
    link.processChunk("\x03", 1);
    QVERIFY(link.gsmTalking());
    QTRY_VERIFY_WITH_TIMEOUT(!link.gsmTalking(), 2000);
    QCOMPARE(talking.count(), 4);
}

void TestLineProtocol::unreadableNumbersDoNotStopTheLink()
{
    ScriptedOperator ui;
    Link link(nullptr, ui);
    QStringList terminal;
    connect(&link, &Link::terminalLine, this, [&](const QString &s) { terminal << s; });
    const QByteArray stream = "%Sabc\r\n%S99999999999999999999999\r\n%D:zz\r\n%BOX: x,y\r\nafter\r\n";
    link.processChunk(stream.constData(), stream.size());
    QCOMPARE(terminal, QStringList{"after"});
    QVERIFY(link.protocol().pendingLine().isEmpty());
}

QTEST_GUILESS_MAIN(TestLineProtocol)
#include "test_lineprotocol.moc"
