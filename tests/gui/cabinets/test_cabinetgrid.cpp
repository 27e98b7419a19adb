// The cabinet grid against the in-process simulated collector.
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

#include "cabinets/cabinetgrid.h"
#include "link/link.h"
#include "link/operatorui.h"
#include "sim/collector.h"
#include "sim/simulatedport.h"

class TestCabinetGrid : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<Collector> collector;
    std::unique_ptr<ScriptedOperator> ui;
    std::unique_ptr<Link> link;

    void connectLink(LinkTimings t = {})
    {
        t.pumpMs = 1;
        t.replyMs = 500;
        link = std::make_unique<Link>(
            [this](const QString &) { return std::make_unique<SimulatedPort>(collector.get()); }, *ui, t);
        link->setMeasurementLogPath(QString());
        link->setPort("sim:test", "sim");
        link->startPump();
        QTRY_COMPARE(link->state(), Link::Open);
    }

private slots:
    void init()
    {
        collector = std::make_unique<Collector>(CollectorConfig::quiet());
        ui = std::make_unique<ScriptedOperator>();
    }
    void cleanup()
    {
        link.reset();
        collector.reset();
    }

    void reportsFromTheCollectorFillTheGrid()
    {
        collector->setCabinetState(5, 1);
        collector->setCabinetState(12, 6);
        connectLink();
        CabinetGrid grid(*link, *ui);
        collector->sendReportCycle();
        QTRY_COMPARE(grid.table().state(5), quint8(1));
        QCOMPARE(grid.table().state(12), quint8(6));
        QCOMPARE(grid.table().state(1), quint8(0));
    }

    void withoutReportsEveryCabinetTurnsAbsent()
    {
        LinkTimings t;
        t.cabinetReportMs = 200;
        collector->setCabinetState(5, 1);
        connectLink(t);
        CabinetGrid grid(*link, *ui);
        collector->sendReportCycle();
        QTRY_COMPARE(grid.table().state(5), quint8(1));
        QTRY_COMPARE(grid.table().state(5), quint8(0));
    }

    void temporaryControlIsSentForTheSelectedCabinet_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addColumn<int>("code");
        QTest::newRow("on") << true << 23;
        QTest::newRow("off") << false << 22;
    }

    void temporaryControlIsSentForTheSelectedCabinet()
    {
        QFETCH(bool, on);
        QFETCH(int, code);
        collector->setCabinetState(12, 1);
        connectLink();
        CabinetGrid grid(*link, *ui);
        grid.resize(400, 300);
        grid.show();
        QWidget *panel = grid.panel();
        // Column 1, row 1 of the panel is cabinet 12.
        QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(panel->width() / 3 + 5, panel->height() / 10 + 5));
        QCOMPARE(grid.selectedCabinet(), 12);
        QCOMPARE(grid.menu()->actions().first()->text(), QString("-- ШКАФ №12 --"));
        QSignalSpy refresh(&grid, &CabinetGrid::refreshRequested);
        collector->clearLog();
        on ? grid.N3Click() : grid.N1Click();
        QVERIFY(ui->messages.isEmpty());
        QCOMPARE(refresh.count(), 0);
        bool sent = false;
        for (const auto &e : collector->log())
            if (e.kind == Collector::LogEntry::Kind::Command && e.value == code)
                sent = e.checksum == Collector::Checksum::Good && e.received.startsWith(char(12));
        QVERIFY(sent);
    }

    void aRefusedRequestIsReportedAndTheListsAreRefreshed()
    {
        collector->setCabinetState(3, 1);
        collector->setRefused(23, true);
        connectLink();
        CabinetGrid grid(*link, *ui);
        QSignalSpy refresh(&grid, &CabinetGrid::refreshRequested);
        grid.N3Click();
        QCOMPARE(ui->messages, QStringList{"Ошибка во время общения с устройством!"});
        QCOMPARE(refresh.count(), 1);
    }
};

QTEST_MAIN(TestCabinetGrid)
#include "test_cabinetgrid.moc"
