#include "demosensors.h"

#include "sim/collector.h"
#include "simsensor.h"

QList<std::shared_ptr<SimSensor>> installDemoSensors(Collector &collector)
{
    QList<std::shared_ptr<SimSensor>> sensors;
    for (int address : {1, 2, 3, 7}) {
        auto sensor = std::make_shared<SimSensor>(collector, address);
        const float a = float(address);
        sensor->setRecord(SimSensor::makeRecord(
            quint16(address), {0.35f + a / 100, 1.25f, 0.0125f, 0.0f, 2.5f, 37.5f, 8.0f, 0.5f, 1.0f, 0.0f, 120.0f,
                               -3.5f, 0.2f, 1.0e-3f, 4.75e4f}));
        sensor->answersBroadcast = address == 1;
        collector.addBusDevice(sensor);
        sensors << sensor;
    }
    return sensors;
}
