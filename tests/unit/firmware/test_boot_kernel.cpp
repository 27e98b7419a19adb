#include <QtTest>

#include "firmware/bootkernel.h"
#include "firmware/firmwareimage.h"
#include "link/operatorui.h"
#include "scriptedport.h"

using namespace bootkernel;

namespace {

// The paced form of bus bytes: eight 0x80, then 0x80 + low five bits, then
// 0xC0 + high three bits.
QByteArray paced(const QByteArray &bytes)
{
    QByteArray out;
    for (char c : bytes) {
        out += QByteArray(8, '\x80');
        out += char(0x80 | (quint8(c) & 0x1F));
        out += char(0xC0 | (quint8(c) >> 5));
    }
    return out;
}

FirmwareImage imageOf(int blocks)
{
    FirmwareImage image;
    image.bytes = QByteArray(34, '\0');
    for (int j = 0; j < blocks; ++j) {
        QByteArray block(1544, char(0xA0 + j));
        block[0] = char(j);
        image.bytes += block;
    }
    image.bytes += QByteArray(2, '\0');
    image.blockCount = blocks;
    return image;
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out += char(v);
    return out;
}

// A boot configuration reply: version 0x01, revision 0x0A, the device id,
// silicon revision 0x234 and the processor type in the high nibble of byte 7.
QByteArray configReply(quint16 deviceId, int type)
{
    return bytes({0x01, 0x0A, deviceId & 0xFF, deviceId >> 8, 0x00, 0x00, 0x34, (type << 4) | 0x02, 0x00, 0x00});
}

const QByteArray syncFillerPass(100, '\x11');
const QByteArray bootBurst1536 = paced(QByteArray(1536, '\x15'));

struct Rig
{
    VirtualClock clock;
    ScriptedPort port{clock};
    ScriptedOperator ui;
    QList<QPair<FlashGauge, int>> gauges;
    bool portPresent = true;   // false: the link has closed and dropped its port
    BootKernelClient client;

    explicit Rig(const LinkTimings &timings = {})
        : client([this] { return portPresent ? &port : nullptr; }, ui, clock, timings)
    {
        client.setGauge = [this](FlashGauge g, int v) { gauges.append({g, v}); };
    }
    int blockSends(const FirmwareImage &image, int j) const { return port.countWrites(image.block(j).toByteArray()); }
};

}  // namespace

Q_DECLARE_METATYPE(Arrival)

class TestBootKernel : public QObject
{
    Q_OBJECT
private slots:
    void synchronisationLooksAtTheFirstByteOfEachRead_data();
    void synchronisationLooksAtTheFirstByteOfEachRead();
    void syncStopsOnceAReadBeginsWith0x10();
    void aSilentKernelIsNotInStepAfterAThousandPasses();
    void theConfigurationReplyIsAssembledFromPieces();
    void aConfigurationReplyCompletedLateIsATimeOut_data();
    void aConfigurationReplyCompletedLateIsATimeOut();
    void processorsAreFoundByDeviceIdAndType_data();
    void processorsAreFoundByDeviceIdAndType();
    void theProcessorTableKeepsItsRowsAndOrder();
    void aCollectorBlockIsTheCommandByteThenOneWrite();
    void anAcknowledgementCountsOnlyBeforeTheTimerFires_data();
    void anAcknowledgementCountsOnlyBeforeTheTimerFires();
    void tenRepeatsOfOneKindThenFailure_data();
    void tenRepeatsOfOneKindThenFailure();
    void timeOutsAndRefusalsAreCountedApart();
    void aFailedResynchronisationEndsTheBlock();
    void cabinetBootModeIsFourBurstsToTheAddress();
    void anAddressOutsideTheBusSendsNothing();
    void aCabinetBlockFollowedBySilenceIsWritten_data();
    void aCabinetBlockFollowedBySilenceIsWritten();
    void aStrayByteCostsOneMoreBootEntry();
    void bytesLeftFromAFailedAttemptDoNotFailTheNext();
    void eightFailedAttemptsFailTheBlock();
    void theCabinetLoopStops_data();
    void theCabinetLoopStops();
    void theCabinetLoopStopsAtTheNextAttempt();
    void theProgramsAreStarted();
    void aRealSleepRunsEventsAndEndsWhenTheProgramCloses();
};

void TestBootKernel::synchronisationLooksAtTheFirstByteOfEachRead_data()
{
    QTest::addColumn<QList<QByteArray>>("reads");
    QTest::addColumn<int>("verdict");
    QTest::newRow("a read beginning with 0x10 is in step") << QList<QByteArray>{bytes({0x10, 0x11})} << int(SyncVerdict::InStep);
    QTest::newRow("0x10 only inside a longer read does not count")
        << QList<QByteArray>{bytes({0x11, 0x10, 0x10})} << int(SyncVerdict::NotYet);
    QTest::newRow("a later read that begins with 0x10 does")
        << QList<QByteArray>{bytes({0x11, 0x10}), bytes({0x10})} << int(SyncVerdict::InStep);
    QTest::newRow("empty reads keep the filler") << QList<QByteArray>{{}, {}} << int(SyncVerdict::NotYet);
    QTest::newRow("an empty read after another byte keeps that byte")
        << QList<QByteArray>{bytes({0x05}), {}} << int(SyncVerdict::NotYet);
    QTest::newRow("999 passes without 0x10 are not yet a failure")
        << QList<QByteArray>(999, bytes({0x11})) << int(SyncVerdict::NotYet);
    QTest::newRow("1000 passes without 0x10 fail") << QList<QByteArray>(1000, bytes({0x11})) << int(SyncVerdict::Failed);
    QList<QByteArray> lastMoment(999, bytes({0x00}));
    lastMoment << bytes({0x10});
    QTest::newRow("0x10 in the thousandth read still counts") << lastMoment << int(SyncVerdict::InStep);
}

void TestBootKernel::synchronisationLooksAtTheFirstByteOfEachRead()
{
    QFETCH(QList<QByteArray>, reads);
    QFETCH(int, verdict);
    QCOMPARE(int(syncVerdict(reads)), verdict);
}

void TestBootKernel::syncStopsOnceAReadBeginsWith0x10()
{
    Rig rig;
    rig.port.script = {{bytes({0x11, 0x10})}, {}, {bytes({0x10, 0x11})}};
    QVERIFY(rig.client.syncBootKernel());
    QCOMPARE(rig.port.writes, QList<QByteArray>(3, syncFillerPass));
    QCOMPARE(rig.port.reads, 3);
    QCOMPARE(rig.port.purges, 2);   // before the first pass and after success
    QCOMPARE(rig.clock.now, 3 * 10 + 300);
}

void TestBootKernel::aSilentKernelIsNotInStepAfterAThousandPasses()
{
    Rig rig;
    QVERIFY(!rig.client.syncBootKernel());
    QCOMPARE(rig.port.writes.size(), 1000);
    QCOMPARE(rig.port.reads, 1000);
    QCOMPARE(rig.port.purges, 1 + 100);   // once at the start, then after every tenth pass
}

void TestBootKernel::theConfigurationReplyIsAssembledFromPieces()
{
    Rig rig;
    const QByteArray reply = configReply(0x00C1, 1);
    rig.port.script = {{reply.mid(0, 3)}, {}, {reply.mid(3, 4)}, {reply.mid(7, 3)}};
    const std::optional<BootConfig> config = rig.client.readBootConfig();
    QVERIFY(config);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(config->bytes.data()), 10), reply);
    QCOMPARE(rig.port.writes, QList<QByteArray>{bytes({0x19})});
    QCOMPARE(rig.ui.log, QStringList{QStringLiteral("Запрос конфигурации...")});
}

void TestBootKernel::aConfigurationReplyCompletedLateIsATimeOut_data()
{
    QTest::addColumn<QList<Arrival>>("script");
    QTest::addColumn<int>("replyMs");
    const QByteArray reply = configReply(0x00C1, 1);
    QTest::newRow("no reply at all") << QList<Arrival>{} << 5000;
    QTest::newRow("nine bytes, then the tenth after the five seconds")
        << QList<Arrival>{{reply.first(9)}, {reply.mid(9), 5000}} << 5000;
    QTest::newRow("the whole reply after a shortened reply time")
        << QList<Arrival>{{reply, 60}} << 50;
}

void TestBootKernel::aConfigurationReplyCompletedLateIsATimeOut()
{
    QFETCH(QList<Arrival>, script);
    QFETCH(int, replyMs);
    LinkTimings timings;
    timings.replyMs = replyMs;
    Rig rig(timings);
    rig.port.script = script;
    QVERIFY(!rig.client.readBootConfig());
    QCOMPARE(rig.ui.log, QStringList({QStringLiteral("Запрос конфигурации..."), QStringLiteral("Тайм аут при общении!")}));
}

void TestBootKernel::processorsAreFoundByDeviceIdAndType_data()
{
    QTest::addColumn<int>("deviceId");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("lastLine");
    QTest::newRow("0x00C1 with type 1 is a dsPIC30F3012")
        << 0x00C1 << 1 << QStringLiteral("..Найден dsPIC30F3012 (ID: 0x00C1)");
    QTest::newRow("0x00C1 with type 3 is a dsPIC33FJ64GP206")
        << 0x00C1 << 3 << QStringLiteral("..Найден dsPIC33FJ64GP206 (ID: 0x00C1)");
    QTest::newRow("0x00C1 with type 2 is not found") << 0x00C1 << 2 << QStringLiteral("Устройство не найдено.");
    QTest::newRow("a name listed twice is found by its second id")
        << 0x0240 << 1 << QStringLiteral("..Найден dsPIC30F2011 (ID: 0x0240)");
    QTest::newRow("the last row is found") << 0x044F << 3 << QStringLiteral("..Найден PIC24FJ64GA004 (ID: 0x044F)");
    QTest::newRow("an unknown id is not found") << 0x0FFF << 3 << QStringLiteral("Устройство не найдено.");
}

void TestBootKernel::processorsAreFoundByDeviceIdAndType()
{
    QFETCH(int, deviceId);
    QFETCH(int, type);
    QFETCH(QString, lastLine);
    Rig rig;
    BootConfig config;
    const QByteArray reply = configReply(quint16(deviceId), type);
    std::copy(reply.begin(), reply.end(), config.bytes.begin());
    const ProcessorRow *row = rig.client.findProcessor(config);
    QCOMPARE(row != nullptr, !lastLine.startsWith(QStringLiteral("Устройство")));
    QCOMPARE(rig.ui.log, QStringList({QStringLiteral("..bootloader ver 0x01, rev 0x0A"),
                                      QStringLiteral("..device id 0x%1, proc 000%2, rev 0234")
                                          .arg(QString::number(deviceId, 16).toUpper().rightJustified(4, QLatin1Char('0')))
                                          .arg(type),
                                      lastLine}));
}

void TestBootKernel::theProcessorTableKeepsItsRowsAndOrder()
{
    QCOMPARE(ProcessorTable.size(), size_t(78));
    QCOMPARE(QByteArray(ProcessorTable.front().name), QByteArray("dsPIC30F2010"));
    QCOMPARE(ProcessorTable.front().deviceId, quint16(0x0040));
    QCOMPARE(QByteArray(ProcessorTable[28].name), QByteArray("dsPIC33FJ64GP206"));
    QCOMPARE(QByteArray(ProcessorTable[68].name), QByteArray("PIC24FJ64GA006"));
    QCOMPARE(ProcessorTable[68].deviceId, quint16(0x0405));
    for (const ProcessorRow &row : ProcessorTable)
        QVERIFY(row.type == 1 || row.type == 3);
}

void TestBootKernel::aCollectorBlockIsTheCommandByteThenOneWrite()
{
    Rig rig;
    const FirmwareImage image = imageOf(3);
    rig.port.script = {{}, {bytes({0x11})}};
    QVERIFY(rig.client.writeCollectorBlock(image, 2));
    QCOMPARE(rig.port.writes, QList<QByteArray>({bytes({0x13}), image.block(2).toByteArray()}));
    QCOMPARE(rig.port.writes[1].size(), 1544);
    QVERIFY(rig.ui.log.isEmpty());
    QCOMPARE(rig.gauges, (QList<QPair<FlashGauge, int>>{{FlashGauge::Main, 3}}));
}

void TestBootKernel::anAcknowledgementCountsOnlyBeforeTheTimerFires_data()
{
    QTest::addColumn<int>("bootReplyMs");
    QTest::addColumn<int>("ackAfterMs");
    QTest::addColumn<int>("sends");
    // The wait sleeps one millisecond before its first read.
    QTest::newRow("0x11 before the 1.5 s is written") << 1500 << 1400 << 1;
    QTest::newRow("0x11 read only after the 1.5 s is a time-out") << 1500 << 1500 << 2;
    QTest::newRow("a shortened time-out is honoured") << 40 << 60 << 2;
}

void TestBootKernel::anAcknowledgementCountsOnlyBeforeTheTimerFires()
{
    QFETCH(int, bootReplyMs);
    QFETCH(int, ackAfterMs);
    QFETCH(int, sends);
    LinkTimings timings;
    timings.bootReplyMs = bootReplyMs;
    Rig rig(timings);
    const FirmwareImage image = imageOf(1);
    // A late acknowledgement, then (if it was a time-out) in step again and
    // acknowledged at once.
    rig.port.script = {{bytes({0x11}), ackAfterMs}, {bytes({0x10})}, {bytes({0x11})}};
    QVERIFY(rig.client.writeCollectorBlock(image, 0));
    QCOMPARE(rig.blockSends(image, 0), sends);
    QVERIFY(rig.ui.log.isEmpty());
}

void TestBootKernel::tenRepeatsOfOneKindThenFailure_data()
{
    QTest::addColumn<Arrival>("failure");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("eleven time-outs")
        << Arrival{{}, 1500}
        << QStringList({QStringLiteral("Ошибка записи блока 0x0001"), QStringLiteral("Тайм аут при общении!")});
    QTest::newRow("eleven refusals") << Arrival{bytes({0x00})}
                                     << QStringList({QStringLiteral("Ошибка записи блока 0x0001")});
}

void TestBootKernel::tenRepeatsOfOneKindThenFailure()
{
    QFETCH(Arrival, failure);
    QFETCH(QStringList, log);
    Rig rig;
    const FirmwareImage image = imageOf(2);
    for (int i = 0; i < 11; ++i)
        rig.port.script << failure << Arrival{bytes({0x10})};
    QVERIFY(!rig.client.writeCollectorBlock(image, 1));
    QCOMPARE(rig.blockSends(image, 1), 11);
    QCOMPARE(rig.ui.log, log);

    // Ten of them are survived.
    Rig ten;
    for (int i = 0; i < 10; ++i)
        ten.port.script << failure << Arrival{bytes({0x10})};
    ten.port.script << Arrival{bytes({0x11})};
    QVERIFY(ten.client.writeCollectorBlock(image, 1));
    QCOMPARE(ten.blockSends(image, 1), 11);
    QVERIFY(ten.ui.log.isEmpty());
}

void TestBootKernel::timeOutsAndRefusalsAreCountedApart()
{
    Rig rig;
    const FirmwareImage image = imageOf(1);
    for (int i = 0; i < 10; ++i) {
        rig.port.script << Arrival{{}, 1500} << Arrival{bytes({0x10})};
        rig.port.script << Arrival{bytes({0x7E})} << Arrival{bytes({0x10})};
    }
    rig.port.script << Arrival{bytes({0x11})};
    QVERIFY(rig.client.writeCollectorBlock(image, 0));
    QCOMPARE(rig.blockSends(image, 0), 21);
    QCOMPARE(rig.gauges.size(), 21);
    QVERIFY(rig.ui.log.isEmpty());
}

void TestBootKernel::aFailedResynchronisationEndsTheBlock()
{
    Rig rig;
    const FirmwareImage image = imageOf(1);
    rig.port.script = {{bytes({0x42})}};
    QVERIFY(!rig.client.writeCollectorBlock(image, 0));
    QCOMPARE(rig.blockSends(image, 0), 1);
    QCOMPARE(rig.ui.log, QStringList{QStringLiteral("Ошибка записи блока 0x0000")});
}

void TestBootKernel::cabinetBootModeIsFourBurstsToTheAddress()
{
    Rig rig;
    rig.client.enterCabinetBoot(63);
    const QByteArray word63 = bytes({0x9F, 0xCB});   // bus word 383
    const QByteArray burst100 = paced(QByteArray(100, '\x15'));
    QCOMPARE(burst100.left(10), bytes({0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x95, 0xC0}));
    QCOMPARE(rig.port.writes, QList<QByteArray>({word63, word63, burst100, word63, word63, bootBurst1536, word63,
                                                 word63, burst100, word63, word63, burst100}));
    QCOMPARE(rig.port.flushes, 4);
    QCOMPARE(rig.clock.now, 400);

    Rig five;
    five.client.enterCabinetBoot(5);
    QCOMPARE(five.port.writes.first(), bytes({0x85, 0xCA}));   // bus word 325
}

void TestBootKernel::anAddressOutsideTheBusSendsNothing()
{
    Rig rig;
    rig.client.enterCabinetBoot(0);
    rig.client.enterCabinetBoot(64);
    QVERIFY(rig.port.writes.isEmpty());
}

void TestBootKernel::aCabinetBlockFollowedBySilenceIsWritten_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<int>("pauseMs");
    QTest::addColumn<int>("gauge");
    QTest::newRow("an indicator block goes behind 0x16 and waits 300 ms")
        << int(CabinetBlockKind::Indicator) << paced(bytes({0x16})) << 300 << int(FlashGauge::Indicator);
    QTest::newRow("a main-unit block goes behind 0x15 0x11 and waits 200 ms")
        << int(CabinetBlockKind::Main) << paced(bytes({0x15, 0x11})) << 200 << int(FlashGauge::Main);
}

void TestBootKernel::aCabinetBlockFollowedBySilenceIsWritten()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, command);
    QFETCH(int, pauseMs);
    QFETCH(int, gauge);
    Rig rig;
    const FirmwareImage image = imageOf(2);
    QCOMPARE(rig.client.writeCabinetBlock(image, 1, CabinetBlockKind(kind), 63), CabinetBlockResult::Written);
    QCOMPARE(rig.port.writes, QList<QByteArray>({command, paced(image.block(1).toByteArray())}));
    QCOMPARE(rig.port.writes[1].size(), 15440);
    QCOMPARE(rig.clock.now, pauseMs);
    QCOMPARE(rig.gauges, (QList<QPair<FlashGauge, int>>{{FlashGauge(gauge), 2}}));
    QVERIFY(rig.ui.log.isEmpty());
}

void TestBootKernel::aStrayByteCostsOneMoreBootEntry()
{
    Rig rig;
    const FirmwareImage image = imageOf(2);
    rig.port.script = {{bytes({0x42})}};
    QCOMPARE(rig.client.writeCabinetBlock(image, 1, CabinetBlockKind::Main, 63), CabinetBlockResult::Written);
    QCOMPARE(rig.ui.log, QStringList{QStringLiteral("Ошибка записи блока 0x0001/42")});
    QCOMPARE(rig.port.countWrites(bootBurst1536), 1);
    QCOMPARE(rig.port.countWrites(paced(image.block(1).toByteArray())), 2);
    QCOMPARE(rig.gauges, (QList<QPair<FlashGauge, int>>{{FlashGauge::Main, 2}, {FlashGauge::Main, 2}}));
}

void TestBootKernel::bytesLeftFromAFailedAttemptDoNotFailTheNext()
{
    Rig rig;
    const FirmwareImage image = imageOf(1);
    rig.port.script = {{bytes({0xE5, 0xE6, 0xE7})}};
    QCOMPARE(rig.client.writeCabinetBlock(image, 0, CabinetBlockKind::Indicator, 63), CabinetBlockResult::Written);
    QCOMPARE(rig.ui.log, QStringList{QStringLiteral("Ошибка записи блока 0x0000/E5")});
    QCOMPARE(rig.port.countWrites(bootBurst1536), 1);
}

void TestBootKernel::eightFailedAttemptsFailTheBlock()
{
    Rig rig;
    const FirmwareImage image = imageOf(1);
    for (int i = 0; i < 8; ++i)
        rig.port.script << Arrival{bytes({0x0B})};
    rig.port.script << Arrival{};   // a ninth attempt would be written
    QCOMPARE(rig.client.writeCabinetBlock(image, 0, CabinetBlockKind::Indicator, 63), CabinetBlockResult::Failed);
    QCOMPARE(rig.ui.log, QStringList(8, QStringLiteral("Ошибка записи блока 0x0000/0B")));
    QCOMPARE(rig.port.countWrites(bootBurst1536), 8);
    QCOMPARE(rig.port.countWrites(paced(image.block(0).toByteArray())), 8);
}

void TestBootKernel::theCabinetLoopStops_data()
{
    QTest::addColumn<QString>("condition");
    QTest::addColumn<int>("blockSends");
    QTest::newRow("the program is closing") << QStringLiteral("closing") << 0;
    QTest::newRow("the port is closed") << QStringLiteral("closed") << 0;
    QTest::newRow("the link has dropped its port") << QStringLiteral("dropped") << 0;
    QTest::newRow("the link is down") << QStringLiteral("link down") << 0;
    QTest::newRow("a read fails after the block") << QStringLiteral("read fails") << 1;
}

void TestBootKernel::theCabinetLoopStops()
{
    QFETCH(QString, condition);
    QFETCH(int, blockSends);
    Rig rig;
    const FirmwareImage image = imageOf(1);
    if (condition == QLatin1String("closing"))
        rig.clock.closingWhen = [] { return true; };
    if (condition == QLatin1String("closed"))
        rig.port.opened = false;
    if (condition == QLatin1String("dropped"))
        rig.portPresent = false;
    if (condition == QLatin1String("link down"))
        rig.client.linkReady = [] { return false; };
    if (condition == QLatin1String("read fails"))
        rig.port.readsFail = true;
    QCOMPARE(rig.client.writeCabinetBlock(image, 0, CabinetBlockKind::Main, 63), CabinetBlockResult::Stopped);
    QCOMPARE(rig.port.countWrites(paced(image.block(0).toByteArray())), blockSends);
    QVERIFY(rig.ui.log.isEmpty());
}

void TestBootKernel::theCabinetLoopStopsAtTheNextAttempt()
{
    Rig rig;
    const FirmwareImage image = imageOf(1);
    int checks = 0;
    rig.client.linkReady = [&] { return ++checks == 1; };
    rig.port.script = {{bytes({0x42})}};
    QCOMPARE(rig.client.writeCabinetBlock(image, 0, CabinetBlockKind::Indicator, 63), CabinetBlockResult::Stopped);
    QCOMPARE(rig.port.countWrites(paced(image.block(0).toByteArray())), 1);
    QCOMPARE(rig.ui.log, QStringList{QStringLiteral("Ошибка записи блока 0x0000/42")});
}

void TestBootKernel::theProgramsAreStarted()
{
    Rig cabinets;
    cabinets.client.startCabinetPrograms();
    QCOMPARE(cabinets.port.writes, QList<QByteArray>{paced(bytes({0x17, 0x12}))});
    QCOMPARE(cabinets.port.flushes, 1);
    QCOMPARE(cabinets.clock.now, 100);

    Rig collector;
    collector.client.startCollectorProgram();
    QCOMPARE(collector.port.writes, QList<QByteArray>{bytes({0x18})});
}

void TestBootKernel::aRealSleepRunsEventsAndEndsWhenTheProgramCloses()
{
    bool closing = false;
    EventLoopClock clock([&] { return closing; });
    // The timer can only fire if the sleep processes events; a sleep that did
    // not end on closing would hang here for ten minutes.
    QTimer::singleShot(0, [&] { closing = true; });
    clock.sleep(600000);
    QVERIFY(closing);
    QVERIFY(clock.closing());
}

QTEST_GUILESS_MAIN(TestBootKernel)
#include "test_boot_kernel.moc"
