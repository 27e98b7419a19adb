#pragma once
#include "support/recordingport.h"
#include "link/link.h"
#include "link/operatorui.h"
#include "service/sensorservice.h"
#include "sim/collector.h"
#include "sim/sensors/simsensor.h"
#include "sim/simulatedport.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTest>
#include <memory>

// A quiet collector with sensors on its bus, a link that has opened the
// port to it, and everything the program wrote.
struct SensorSim
{
    static LinkTimings linkTimings()
    {
        LinkTimings t;
        t.pumpMs = 1;
        return t;
    }
    // The sensor answers as soon as events run; the pauses only need to let
    // them run.
    static SensorTimings sensorTimings() { return {1, 5, 1, 30}; }

    Collector collector;
    ScriptedOperator ui;
    std::shared_ptr<QByteArray> written = std::make_shared<QByteArray>();
    Link link{[this](const QString &) { return std::make_unique<RecordingPort>(&collector, written); }, ui,
              linkTimings()};

    explicit SensorSim(const QString &measurementLog = QString(), const CollectorConfig &config = CollectorConfig::quiet())
        : collector(config)
    {
        link.setMeasurementLogPath(measurementLog);
        link.setPort(QStringLiteral("sim:sensors"), QStringLiteral("sim"));
        link.startPump();
    }
    ~SensorSim() { link.setClosing(); }

    bool waitOpen() { return QTest::qWaitFor([this] { return link.state() == Link::Open; }, 5000); }

    std::shared_ptr<SimSensor> addSensor(int address, const QByteArray &record)
    {
        auto sensor = std::make_shared<SimSensor>(collector, address);
        sensor->setRecord(record);
        collector.addBusDevice(sensor);
        return sensor;
    }

    // Lets written bytes reach the collector, then forgets what was written
    // and decoded so far.
    void settle()
    {
        QTest::qWait(5);
        written->clear();
        collector.clearLog();
    }

    // What the collector made of the program's bytes, one entry per word,
    // byte or command: "bus 383", "cmd 2".
    QStringList traffic() const
    {
        QStringList out;
        for (const Collector::LogEntry &e : collector.log()) {
            if (e.kind == Collector::LogEntry::Kind::Bus)
                out << QStringLiteral("bus %1").arg(e.value);
            else if (e.kind == Collector::LogEntry::Kind::Command)
                out << QStringLiteral("cmd %1").arg(e.value);
        }
        return out;
    }
};

// A record as a sensor keeps it, built by hand: number and values
// little-endian, checksum last.
inline QByteArray sampleRecord(quint16 number)
{
    return SimSensor::makeRecord(number, {0.35f, 1.25f, 0.0125f, 0.0f, 2.5f, 37.5f, 8.0f, 0.5f, 1.0f, 0.0f, 120.0f,
                                          -3.5f, 0.2f, 1.0e-3f, 4.75e4f});
}

// The list texts of sampleRecord(number).
inline QStringList sampleRows(quint16 number)
{
    return {QString::number(number), "3,500000e-01", "1,250000e+00", "1,250000e-02", "0,000000e+00",
            "2,500000e+00", "3,750000e+01", "8,000000e+00", "5,000000e-01", "1,000000e+00",
            "0,000000e+00", "1,200000e+02", "-3,500000e+00", "2,000000e-01", "1,000000e-03", "4,750000e+04"};
}
