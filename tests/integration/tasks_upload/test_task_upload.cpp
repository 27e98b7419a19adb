// The task file written to the simulated collector's card through the link.
#include <QtTest>

#include "link/link.h"
#include "link/operatorui.h"
#include "sim/card/simcard.h"
#include "sim/collector.h"
#include "sim/simulatedport.h"
#include "tasks/linkuploadchannel.h"
#include "tasks/taskupload.h"

class TestTaskUpload : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<Collector> collector;
    SimCard *card = nullptr;
    std::unique_ptr<ScriptedOperator> ui;
    std::unique_ptr<Link> link;

    // The argument sizes of the commands the collector received, in order.
    QList<QPair<int, int>> commands() const
    {
        QList<QPair<int, int>> out;
        for (const auto &e : collector->log())
            if (e.kind == Collector::LogEntry::Kind::Command && e.value != 8)
                out.append({e.value, int(e.received.size())});
        return out;
    }

    static QByteArray pattern(int size)
    {
        QByteArray bytes(size, 0);
        for (int i = 0; i < size; ++i)
            bytes[i] = char((i * 37 + 11) & 0xFF);
        return bytes;
    }

private slots:
    void init()
    {
        collector = std::make_unique<Collector>(CollectorConfig::quiet());
        card = new SimCard(*collector);
        ui = std::make_unique<ScriptedOperator>();
        LinkTimings t;
        t.pumpMs = 1;
        t.replyMs = 500;
        link = std::make_unique<Link>(
            [this](const QString &) { return std::make_unique<SimulatedPort>(collector.get()); }, *ui, t);
        link->setMeasurementLogPath(QString());
        link->setPort("sim:test", "sim");
        link->startPump();
        QTRY_COMPARE(link->state(), Link::Open);
        collector->clearLog();
    }
    void cleanup()
    {
        link.reset();
        collector.reset();
    }

    void theFileGoesInBlocksOfAtMost256Bytes_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QList<int>>("blocks");
        QTest::newRow("66 bytes") << 66 << QList<int>{66};
        QTest::newRow("600 bytes") << 600 << QList<int>{256, 256, 88};
        QTest::newRow("512 bytes") << 512 << QList<int>{256, 256};
    }

    void theFileGoesInBlocksOfAtMost256Bytes()
    {
        QFETCH(int, size);
        QFETCH(QList<int>, blocks);
        const QByteArray file = pattern(size);
        LinkTaskUploadChannel channel(*link);
        QVERIFY(uploadTaskBytes(file, channel, *ui));
        QCOMPARE(ui->messages, QStringList{"Файл задания успешно записан"});

        // Each argument arrives with its two checksum bytes.
        QList<QPair<int, int>> expected{{11, 8 + 2}};
        for (int b : blocks)
            expected.append({15, b + 2});
        expected.append({14, 0});
        QCOMPARE(commands(), expected);
        QCOMPARE(card->file("rule.bin").value_or(QByteArray()), file);
        for (const auto &e : collector->log())
            if (e.kind == Collector::LogEntry::Kind::Command && e.value != 8 && e.value != 14)
                QCOMPARE(e.checksum, Collector::Checksum::Good);
    }

    void theNameTravelsWithItsChecksumLowByteFirst()
    {
        LinkTaskUploadChannel channel(*link);
        QVERIFY(uploadTaskBytes(pattern(10), channel, *ui));
        const auto &log = collector->log();
        const auto open = std::find_if(log.begin(), log.end(), [](const Collector::LogEntry &e) {
            return e.kind == Collector::LogEntry::Kind::Command && e.value == 11;
        });
        QVERIFY(open != log.end());
        QCOMPARE(open->received, QByteArray("rule.bin\xA0\x1F"));
    }

    void aRefusedOpenSendsNoBlock()
    {
        collector->setRefused(11, true);
        LinkTaskUploadChannel channel(*link);
        QVERIFY(!uploadTaskBytes(pattern(300), channel, *ui));
        QCOMPARE(ui->messages, QStringList{"Ошибка во время общения с устройством!"});
        for (const auto &c : commands())
            QVERIFY(c.first != 15 && c.first != 14);
        QVERIFY(!card->file("rule.bin"));
    }

    void aRefusedBlockStopsWithoutAClose()
    {
        collector->setRefused(15, true);
        LinkTaskUploadChannel channel(*link);
        QVERIFY(!uploadTaskBytes(pattern(600), channel, *ui));
        int blocksSent = 0;
        for (const auto &c : commands()) {
            blocksSent += c.first == 15;
            QVERIFY(c.first != 14);
        }
        QCOMPARE(blocksSent, 1);
    }
};

QTEST_GUILESS_MAIN(TestTaskUpload)
#include "test_task_upload.moc"
