#pragma once
#include "link/serialport.h"

#include <QString>

class Collector;

// The path under which the program reaches the built-in demonstration
// collector, and the name it shows for it.
inline constexpr char demoPortPath[] = "sim:demo";
inline constexpr char demoPortDisplayName[] = "Демонстрационный сборщик (симулятор)";

bool isSimulatorPath(const QString &path);  // begins with "sim:"

// The process-wide demonstration collector, made on first use and owned by
// the application object.
Collector &demoCollector();

// Ports for "sim:" paths talk to the demonstration collector; every other
// path opens a real serial port.
PortFactory simulatorAwarePortFactory();
