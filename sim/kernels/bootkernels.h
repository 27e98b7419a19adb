#pragma once
#include "cabinetkernel.h"
#include "collectorkernel.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <memory>

class Collector;

// The boot kernels of a simulated installation: the collector's own and one
// per cabinet on its bus.
class BootKernels : public QObject
{
    Q_OBJECT
public:
    // Owned by the collector; gives every cabinet of its configuration a kernel.
    static BootKernels *install(Collector &collector);

    CollectorKernel &collectorKernel() { return collectorKernel_; }
    // Adds a kernel at a bus address 1..62 (or returns the one there).
    std::shared_ptr<CabinetKernel> addCabinet(int address);
    std::shared_ptr<CabinetKernel> cabinet(int address) const;
    const QList<std::shared_ptr<CabinetKernel>> &cabinets() const { return cabinets_; }

private:
    explicit BootKernels(Collector &collector);
    ~BootKernels() override;

    QPointer<Collector> collector_;
    CollectorKernel collectorKernel_;
    QList<std::shared_ptr<CabinetKernel>> cabinets_;
};
