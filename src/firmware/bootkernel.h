#pragma once
#include "kernelprotocol.h"
#include "link/timings.h"

#include <functional>
#include <optional>

class ExchangeClock;
class OperatorUi;
class SerialPort;
struct FirmwareImage;

// The update window's two block gauges: Indicator is `progr1`, Main is
// `progr`. The collector update shows its blocks on both.
enum class FlashGauge { Indicator, Main };

enum class CabinetBlockKind { Indicator, Main };

// Written; failed after eight attempts; or stopped because the program is
// closing, the port is closed or the link is down (the caller then ends the
// current phase).
enum class CabinetBlockResult { Written, Failed, Stopped };

// The host side of the exchanges with the boot kernels: the collector's own,
// directly in plain bytes, and the cabinets', through the collector's bridge
// mode in paced bus bytes. These exchanges read the port themselves; the
// caller keeps the link's portHeld set meanwhile. With the port closed,
// writes are lost and reads find nothing, as on the link. Every step is logged with
// OperatorUi::flashLog. Waits go through the clock, which processes events.
class BootKernelClient
{
public:
    // The port as it is now; null while closed. The link may close and reopen
    // its port during an update, so the client never keeps it.
    using PortAccess = std::function<SerialPort *()>;

    BootKernelClient(PortAccess port, OperatorUi &ui, ExchangeClock &clock, const LinkTimings &timings = {});
    // A port that outlives the client (tests, the simulator).
    BootKernelClient(SerialPort &port, OperatorUi &ui, ExchangeClock &clock, const LinkTimings &timings = {});

    // The link is up (linkState 1). Tested, with an open port and a program
    // that is not closing, before every cabinet block attempt.
    std::function<bool()> linkReady;
    // Shows block progress on one of the window's gauges.
    std::function<void(FlashGauge, int value)> setGauge;

    // Aborts and clears both directions of the port.
    void discardPortBuffers();

    // --- the collector's kernel, in this order ---
    // True when the kernel answered 0x10 within 1000 passes of 100 bytes 0x11.
    bool syncBootKernel();
    // The 10-byte configuration; none after the reply time-out (logged).
    std::optional<bootkernel::BootConfig> readBootConfig();
    // Logs the identification lines and the row found, or "Устройство не найдено.".
    const bootkernel::ProcessorRow *findProcessor(const bootkernel::BootConfig &config);
    // Sends block k until acknowledged; each time-out or refusal re-synchronises
    // and repeats, up to ten of each kind. A failure is logged.
    bool writeCollectorBlock(const FirmwareImage &image, int k);
    void startCollectorProgram();

    // --- the cabinets' kernels, through the bridge, in this order ---
    // Four bursts of the address word (twice) and 0x15 bytes; address 1..63,
    // anything else sends nothing. The caller discards the port buffers after.
    void enterCabinetBoot(int address);
    // Sends block j of an indicator or main-unit image; a byte coming back
    // re-enters boot mode at the same address and repeats, eight attempts in all.
    CabinetBlockResult writeCabinetBlock(const FirmwareImage &image, int j, CabinetBlockKind kind, int address);
    void startCabinetPrograms();

private:
    QByteArray readUpTo(int count, bool *failed = nullptr);
    void send(const QByteArray &bytes);
    void flushPort();
    void gauge(FlashGauge which, int value);
    bool cabinetLoopStops();

    PortAccess port_;
    OperatorUi &ui_;
    ExchangeClock &clock_;
    LinkTimings timings_;
};
