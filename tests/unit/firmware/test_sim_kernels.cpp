#include <QtTest>

#include "link/wire.h"
#include "sim/kernels/bootkernels.h"
#include "sim/kernels/programmemory.h"
#include "unit/firmware/kernelblocks.h"
#include "unit/sim/simfixture.h"

Q_DECLARE_METATYPE(ProgramMemory::BlockCheck)

// The simulator's boot kernels, driven byte by byte: they must take what the
// program sends exactly as the real kernels do, since the update procedures
// are tested against them.
class TestSimKernels : public QObject
{
    Q_OBJECT
private slots:
    void programMemoryTakesOnlyGoodBlocks_data();
    void programMemoryTakesOnlyGoodBlocks();
    void aCabinetEntersBootModeOnlyAfterAnUnbrokenRunOf0x15();
    void blocksOfEachUnitLandInTheirOwnMemoryAndTheStartLeavesBootMode();
    void theAddressWordChoosesWhichCabinetsListen_data();
    void theAddressWordChoosesWhichCabinetsListen();
    void aBadCabinetBlockIsAnsweredWithOneErrorByte();
    void aBlockCutShortByAnAddressWordIsDropped();
    void cmdCardIsAcknowledgedAndThenTheCollectorRunsItsKernel();
    void theCollectorKernelAnswersInPlainBytes();
    void leavingTheKernelHandsTheRestOfTheChunkToTheProgram();
    void aKernelNobodyTalksToStartsTheProgramAgain();
    void whileThePowerComesBackTheKernelHearsNothing();
};

namespace {

// Bridge mode, then the cabinet kernels of 5 and 9 behind it.
struct Bus
{
    SimFixture sim;
    BootKernels *kernels = BootKernels::install(sim.collector);
    std::shared_ptr<CabinetKernel> five = kernels->addCabinet(5);
    std::shared_ptr<CabinetKernel> nine = kernels->addCabinet(9);

    Bus()
    {
        sim.collector.receive(wire::busWord(320) + wire::command(2));
    }
    void to(int address, const QByteArray &bytes)
    {
        sim.collector.receive(wire::busWord(quint16(320 + address)) + wire::pacedBytes(bytes));
    }
    void enterBoot(int address) { to(address, QByteArray(100, '\x15')); }
};

// The collector's kernel, running, with the power back at once.
struct Kernel
{
    SimFixture sim;
    BootKernels *kernels = BootKernels::install(sim.collector);
    CollectorKernel &kernel = kernels->collectorKernel();

    Kernel()
    {
        kernel.powerCycleMs = 0;
        kernel.powerCycle();
        QTest::qWait(1);
    }
};

using Unit = CabinetKernel::Unit;

}  // namespace

void TestSimKernels::programMemoryTakesOnlyGoodBlocks_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<ProgramMemory::BlockCheck>("check");

    using Check = ProgramMemory::BlockCheck;
    QTest::newRow("a good block at page 0x1400") << kernelBlock(0x1400, 0xA1B2C3) << Check::Good;
    QTest::newRow("one byte short") << kernelBlock(0x1400, 0xA1B2C3).left(1543) << Check::WrongSize;
    QTest::newRow("another layout version") << kernelBlock(0x1400, 0xA1B2C3, 2) << Check::WrongVersion;
    QTest::newRow("a page address inside a page") << kernelBlock(0x1200, 0xA1B2C3) << Check::BadAddress;
    QTest::newRow("a page address beyond program memory") << kernelBlock(0x1000000, 0xA1B2C3) << Check::BadAddress;
    QByteArray flipped = kernelBlock(0x1400, 0xA1B2C3);
    flipped[20] = char(flipped[20] ^ 0x80);
    QTest::newRow("a page byte changed on the way") << flipped << Check::BadChecksum;
}

void TestSimKernels::programMemoryTakesOnlyGoodBlocks()
{
    QFETCH(QByteArray, block);
    QFETCH(ProgramMemory::BlockCheck, check);

    ProgramMemory memory;
    QCOMPARE(memory.write(block), check);
    if (check == ProgramMemory::BlockCheck::Good) {
        QCOMPARE(memory.pageAddresses(), QList<quint32>{0x1400});
        QCOMPARE(memory.instruction(0x1400), quint32(0xA1B2C3));
        QCOMPARE(memory.instruction(0x1402), quint32(0xA1B2C3 + 0x010203));
        QCOMPARE(memory.instruction(0x1400 + 2 * 8), quint32(0xFFFFFF));
    } else {
        QVERIFY(memory.isEmpty());
    }
    QCOMPARE(memory.instruction(0x0000), quint32(0xFFFFFF));
}

void TestSimKernels::aCabinetEntersBootModeOnlyAfterAnUnbrokenRunOf0x15()
{
    Bus bus;
    bus.to(5, QByteArray(15, '\x15') + '\x00' + QByteArray(15, '\x15'));
    QVERIFY(!bus.five->inBootMode());
    QCOMPARE(bus.five->bootRequests(), 0);

    // An address word breaks a run too.
    bus.to(5, QByteArray(8, '\x15'));
    bus.to(5, QByteArray(8, '\x15'));
    QVERIFY(!bus.five->inBootMode());

    bus.to(5, QByteArray(16, '\x15'));
    QVERIFY(bus.five->inBootMode());
    QCOMPARE(bus.five->bootRequests(), 1);
    QVERIFY(bus.sim.take().isEmpty());
}

void TestSimKernels::blocksOfEachUnitLandInTheirOwnMemoryAndTheStartLeavesBootMode()
{
    Bus bus;
    // Before boot mode a block is not even looked at.
    bus.to(5, "\x16" + kernelBlock(0x0000, 0x111111));
    QCOMPARE(bus.five->receptions(), 0);

    bus.enterBoot(5);
    bus.to(5, "\x16" + kernelBlock(0x0400, 0x111111));
    bus.to(5, QByteArray("\x15\x11") + kernelBlock(0x0800, 0x222222));
    QCOMPARE(bus.five->memory(Unit::Indicator).pageAddresses(), QList<quint32>{0x0400});
    QCOMPARE(bus.five->memory(Unit::Indicator).instruction(0x0400), quint32(0x111111));
    QCOMPARE(bus.five->memory(Unit::Main).pageAddresses(), QList<quint32>{0x0800});
    QCOMPARE(bus.five->blocks(Unit::Main), QList<QByteArray>{kernelBlock(0x0800, 0x222222)});
    QCOMPARE(bus.five->starts(), 0);

    bus.to(5, "\x17\x12");
    QCOMPARE(bus.five->starts(), 1);
    QVERIFY(!bus.five->inBootMode());
    // Good blocks and the start are taken in silence.
    QVERIFY(bus.sim.take().isEmpty());
}

void TestSimKernels::theAddressWordChoosesWhichCabinetsListen_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<bool>("fiveListens");
    QTest::addColumn<bool>("nineListens");

    QTest::newRow("cabinet 5 alone") << 5 << true << false;
    QTest::newRow("cabinet 9 alone") << 9 << false << true;
    QTest::newRow("63 reaches every cabinet") << 63 << true << true;
    QTest::newRow("an address with no cabinet") << 7 << false << false;
}

void TestSimKernels::theAddressWordChoosesWhichCabinetsListen()
{
    QFETCH(int, address);
    QFETCH(bool, fiveListens);
    QFETCH(bool, nineListens);

    Bus bus;
    bus.enterBoot(address);
    bus.to(address, QByteArray("\x15\x11") + kernelBlock(0x0C00, 0x333333));
    QCOMPARE(bus.five->blocks(Unit::Main).size(), fiveListens ? 1 : 0);
    QCOMPARE(bus.nine->blocks(Unit::Main).size(), nineListens ? 1 : 0);
}

void TestSimKernels::aBadCabinetBlockIsAnsweredWithOneErrorByte()
{
    Bus bus;
    bus.enterBoot(5);
    QByteArray damaged = kernelBlock(0x0400, 0x444444);
    damaged[100] = char(damaged[100] ^ 1);
    bus.to(5, "\x16" + damaged);
    QCOMPARE(bus.sim.take(), QByteArray("\xE1"));
    QVERIFY(bus.five->memory(Unit::Indicator).isEmpty());

    // The fault switch answers any byte the test chooses, and the block is not written.
    bus.five->faults.errorAt = {{1, 0x77}};
    bus.to(5, "\x16" + kernelBlock(0x0400, 0x444444));
    QCOMPARE(bus.sim.take(), QByteArray("\x77"));
    QVERIFY(bus.five->memory(Unit::Indicator).isEmpty());
    bus.to(5, "\x16" + kernelBlock(0x0400, 0x444444));
    QVERIFY(bus.sim.take().isEmpty());
    QCOMPARE(bus.five->receptions(), 3);
}

void TestSimKernels::aBlockCutShortByAnAddressWordIsDropped()
{
    Bus bus;
    bus.enterBoot(5);
    bus.to(5, "\x16" + kernelBlock(0x0400, 0x555555).left(700));
    bus.to(5, "\x16" + kernelBlock(0x0800, 0x666666));
    QCOMPARE(bus.five->receptions(), 1);
    QCOMPARE(bus.five->memory(Unit::Indicator).pageAddresses(), QList<quint32>{0x0800});
    QVERIFY(bus.sim.take().isEmpty());
}

void TestSimKernels::cmdCardIsAcknowledgedAndThenTheCollectorRunsItsKernel()
{
    SimFixture sim;
    BootKernels *kernels = BootKernels::install(sim.collector);
    kernels->collectorKernel().powerCycleMs = 0;

    sim.collector.receive(wire::command(8) + wire::command(8) + wire::command(21));
    QCOMPARE(sim.take(), QByteArray("%A\r\n"));
    QTRY_VERIFY(sim.collector.inBootKernel());

    // The collector's program is not running: no reports, no answers.
    sim.collector.sendReportCycle();
    sim.collector.receive(wire::command(8) + wire::command(7));
    QVERIFY(sim.take().isEmpty());
}

void TestSimKernels::theCollectorKernelAnswersInPlainBytes()
{
    Kernel k;
    k.sim.collector.receive(QByteArray(3, '\x11'));
    QCOMPARE(k.sim.take(), QByteArray(3, '\x10'));
    QVERIFY(k.kernel.inStep());

    k.kernel.bootConfig = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    k.sim.collector.receive("\x19");
    QCOMPARE(k.sim.take(), QByteArray::fromHex("0102030405060708090A"));

    // A block arriving in pieces is written and acknowledged once.
    const QByteArray block = kernelBlock(0x2400, 0x7E8F90);
    k.sim.collector.receive("\x13" + block.left(1000));
    QVERIFY(k.sim.take().isEmpty());
    k.sim.collector.receive(block.mid(1000));
    QCOMPARE(k.sim.take(), QByteArray("\x11"));
    QCOMPARE(k.kernel.memory().instruction(0x2400), quint32(0x7E8F90));

    QByteArray damaged = block;
    damaged[9] = char(damaged[9] ^ 4);
    k.sim.collector.receive("\x13" + damaged);
    QCOMPARE(k.sim.take(), QByteArray("\xEE"));
    QCOMPARE(k.kernel.blocks(), QList<QByteArray>{block});
    QCOMPARE(k.kernel.receptions(), 2);
}

void TestSimKernels::leavingTheKernelHandsTheRestOfTheChunkToTheProgram()
{
    Kernel k;
    QSignalSpy started(&k.kernel, &CollectorKernel::programStarted);
    k.sim.collector.receive("\x11\x18" + wire::busWord(320) + wire::command(2));
    QCOMPARE(k.sim.take(), QByteArray("\x10"));
    QVERIFY(!k.sim.collector.inBootKernel());
    QCOMPARE(started.count(), 1);
    QCOMPARE(k.sim.collector.mode(), Collector::Mode::Bridge);
}

void TestSimKernels::aKernelNobodyTalksToStartsTheProgramAgain()
{
    SimFixture sim;
    CollectorKernel &kernel = BootKernels::install(sim.collector)->collectorKernel();
    kernel.powerCycleMs = 0;
    kernel.idleExitMs = 20;
    kernel.powerCycle();
    QVERIFY(sim.collector.inBootKernel());
    QTRY_VERIFY(!sim.collector.inBootKernel());
    QCOMPARE(kernel.starts(), 1);

    // In step, it waits for the host however long that takes.
    kernel.powerCycle();
    QTest::qWait(1);
    sim.collector.receive("\x11");
    QTest::qWait(60);
    QVERIFY(sim.collector.inBootKernel());
}

void TestSimKernels::whileThePowerComesBackTheKernelHearsNothing()
{
    SimFixture sim;
    CollectorKernel &kernel = BootKernels::install(sim.collector)->collectorKernel();
    kernel.powerCycleMs = 60000;
    kernel.powerCycle();
    sim.collector.receive(QByteArray(100, '\x11') + "\x19");
    QVERIFY(sim.take().isEmpty());
    QVERIFY(!kernel.inStep());
}

QTEST_MAIN(TestSimKernels)
#include "test_sim_kernels.moc"
