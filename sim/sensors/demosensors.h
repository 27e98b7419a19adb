#pragma once
#include <QList>
#include <memory>

class Collector;
class SimSensor;

// The sensors of the demonstration installation: one in cabinets 1, 2, 3 and
// 7, each with its own plausible record. Only the sensor of cabinet 1 takes
// commands sent to every device, as a bench with one sensor would.
QList<std::shared_ptr<SimSensor>> installDemoSensors(Collector &collector);
