#include "portfactory.h"

#include "collector.h"
#include "kernels/bootkernels.h"
#include "link/qtserialport.h"
#include "simulatedport.h"
#include "card/democard.h"
#include "gsm/gsmmodule.h"
#include "sensors/demosensors.h"

#include <QCoreApplication>
#include <QPointer>

bool isSimulatorPath(const QString &path)
{
    return path.startsWith(QLatin1String("sim:"));
}

Collector &demoCollector()
{
    // Parented to the application so that its timers die with the event loop;
    // a later application (tests make several) gets a fresh one.
    static QPointer<Collector> instance;
    if (!instance) {
        instance = new Collector(CollectorConfig::demonstration(), QCoreApplication::instance());
        BootKernels::install(*instance);
        installDemoCard(*instance);
        GsmModule::install(*instance);
        installDemoSensors(*instance);
    }
    return *instance;
}

PortFactory simulatorAwarePortFactory()
{
    return [](const QString &path) -> std::unique_ptr<SerialPort> {
        if (isSimulatorPath(path))
            return std::make_unique<SimulatedPort>(&demoCollector());
        return std::make_unique<QtSerialPortAdapter>();
    };
}
