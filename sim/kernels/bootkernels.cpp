#include "bootkernels.h"

#include "sim/collector.h"

BootKernels *BootKernels::install(Collector &collector)
{
    auto *kernels = new BootKernels(collector);
    const auto cabinets = collector.config().cabinets;
    for (auto it = cabinets.cbegin(); it != cabinets.cend(); ++it)
        kernels->addCabinet(it.key());
    return kernels;
}

BootKernels::BootKernels(Collector &collector)
    : QObject(&collector), collector_(&collector), collectorKernel_(collector)
{
}

BootKernels::~BootKernels()
{
    if (collector_)
        for (const auto &kernel : cabinets_)
            collector_->removeBusDevice(kernel.get());
}

std::shared_ptr<CabinetKernel> BootKernels::addCabinet(int address)
{
    if (address < 1 || address > 62)
        return nullptr;
    if (auto existing = cabinet(address))
        return existing;
    auto kernel = std::make_shared<CabinetKernel>(address);
    cabinets_.append(kernel);
    collector_->addBusDevice(kernel);
    return kernel;
}

std::shared_ptr<CabinetKernel> BootKernels::cabinet(int address) const
{
    for (const auto &kernel : cabinets_)
        if (kernel->busAddress() == address)
            return kernel;
    return nullptr;
}
