#pragma once
#include "bootkernel.h"
#include "converter.h"

#include <functional>
#include <memory>
#include <optional>

class ExchangeClock;
class Link;
class OperatorUi;
struct FirmwareImage;

// The two procedures of the firmware window, without the window: the cabinet
// update (main units and indicators through the collector's bridge) and the
// collector update (its own kernel, directly). Each prepares and loads the
// image files, drives the kernel exchange, logs every step with
// OperatorUi::flashLog and, whatever happens, ends with the port released and
// the collector back in automatic mode.
class FirmwareUpdate
{
public:
    enum class Outcome {
        Written,          // every block written and the programs started
        Interrupted,      // the link went away during the cabinet blocks; the update is incomplete
        Failed,           // an image file or a kernel error ended it (logged)
        NotInStep,        // the collector's kernel never answered: the window closes itself
        AlreadyRunning,   // another procedure is running; nothing was done
    };

    FirmwareUpdate(Link &link, OperatorUi &ui);
    ~FirmwareUpdate();

    // The window's side: block gauges, and the buttons that must not start a
    // second procedure (nor close the window) while one runs.
    std::function<void(FlashGauge, int maximum)> setGaugeMaximum;
    std::function<void(FlashGauge, int value)> setGaugeValue;
    std::function<void(bool running)> runningChanged;

    // Time and waiting; null, the default, is the event loop's own clock.
    void setClock(ExchangeClock *clock);
    // The converter and the developer's HEX files; unset, the program's
    // standard places, looked up at every start.
    void setConverterSetup(std::optional<ConverterSetup> setup) { converter_ = std::move(setup); }

    bool running() const { return running_; }

    // TFlash::EnumClick: the image files "fwimg.main" and "fwimg.ind" of the
    // current folder to the cabinet(s) at a bus address (63 reaches all).
    Outcome updateCabinets(int busAddress);
    // TFlash::sbfClick: "fwimg.col" to the collector.
    Outcome updateCollector();

private:
    class Running;
    class BridgeSession;

    BootKernelClient kernelClient();
    ConverterSetup converterSetup() const;
    void gaugeMaximum(FlashGauge gauge, int maximum);
    void gauge(FlashGauge gauge, int value);
    CabinetBlockResult writeCabinetPhase(BootKernelClient &kernel, const FirmwareImage &image,
                                         CabinetBlockKind kind, int busAddress);
    Outcome cabinetUpdate(int busAddress);
    Outcome collectorUpdate();

    Link &link_;
    OperatorUi &ui_;
    std::unique_ptr<ExchangeClock> ownClock_;
    ExchangeClock *clock_;
    std::optional<ConverterSetup> converter_;
    bool running_ = false;
};
