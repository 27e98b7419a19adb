// A sensor on the bus must not answer the bytes of a cabinet firmware update
// sent to every device (address 63).
#include <QtTest>

#include "link/wire.h"
#include "sim/collector.h"
#include "sim/sensors/simsensor.h"

class TestSensorFirmwareQuiet : public QObject
{
    Q_OBJECT
private slots:
    void aSensorKeepsQuietThroughFirmwareTrafficUntilTheBridgeIsLeft()
    {
        Collector collector(CollectorConfig::quiet());
        auto sensor = std::make_shared<SimSensor>(collector, 1);
        sensor->answersBroadcast = true;
        collector.addBusDevice(sensor);
        QByteArray sent;
        connect(&collector, &Collector::transmit, this, [&](const QByteArray &b) { sent += b; });

        const QByteArray bridge = wire::busWord(320) + wire::command(2);
        const QByteArray automatic = wire::busWord(320) + wire::command(1);
        const QByteArray everyDevice = wire::busWord(383);

        collector.receive(bridge + everyDevice + wire::pacedBytes(QByteArray(100, '\x15')) + wire::pacedBytes("R"));
        QCoreApplication::processEvents();
        QVERIFY2(sent.isEmpty(), sent.toHex(' ').constData());

        collector.receive(automatic + bridge + everyDevice + wire::pacedBytes("R"));
        QTRY_COMPARE(sent.size(), 64);
    }
};

QTEST_GUILESS_MAIN(TestSensorFirmwareQuiet)
#include "test_sensor_firmware_quiet.moc"
