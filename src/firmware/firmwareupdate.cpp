#include "firmwareupdate.h"

#include "collectormode.h"
#include "exchangeclock.h"
#include "firmwareimage.h"
#include "link/link.h"
#include "link/operatorui.h"

namespace {

constexpr int cardSettleRounds = 100;   // about half a second after cmdCard
constexpr int cardSettleSleepMs = 5;

QString bootModeLine() { return QStringLiteral("Перевод устройства в boot режим..."); }
QString successLine() { return QStringLiteral("Flash память успешно записана."); }
QString restartLine() { return QStringLiteral("  Дождитесь перезапуска программы."); }

}  // namespace

// Marks a procedure as running for its whole length; the window disables its
// buttons meanwhile, so nothing starts twice and the window stays open.
class FirmwareUpdate::Running
{
public:
    explicit Running(FirmwareUpdate &u) : u_(u)
    {
        u_.running_ = true;
        if (u_.runningChanged)
            u_.runningChanged(true);
    }
    ~Running()
    {
        u_.running_ = false;
        if (u_.runningChanged)
            u_.runningChanged(false);
    }
    Running(const Running &) = delete;
    Running &operator=(const Running &) = delete;

private:
    FirmwareUpdate &u_;
};

// Start and end of both procedures: bridge mode and the port held for the
// exchange; on every way out, even an exception, the port is released and
// the collector returned to automatic mode.
class FirmwareUpdate::BridgeSession
{
public:
    explicit BridgeSession(Link &link) : link_(link)
    {
        sendBridgeMode(link_);
        link_.setPortHeld(true);
    }
    ~BridgeSession()
    {
        link_.setPortHeld(false);
        sendAutoMode(link_);
    }
    BridgeSession(const BridgeSession &) = delete;
    BridgeSession &operator=(const BridgeSession &) = delete;

private:
    Link &link_;
};

FirmwareUpdate::FirmwareUpdate(Link &link, OperatorUi &ui) : link_(link), ui_(ui)
{
    setClock(nullptr);
}

FirmwareUpdate::~FirmwareUpdate() = default;

void FirmwareUpdate::setClock(ExchangeClock *clock)
{
    if (clock) {
        clock_ = clock;
        return;
    }
    if (!ownClock_)
        ownClock_ = std::make_unique<EventLoopClock>([this] { return link_.closing(); });
    clock_ = ownClock_.get();
}

ConverterSetup FirmwareUpdate::converterSetup() const
{
    return converter_ ? *converter_ : ConverterSetup::standard();
}

void FirmwareUpdate::gaugeMaximum(FlashGauge which, int maximum)
{
    if (setGaugeMaximum)
        setGaugeMaximum(which, maximum);
}

void FirmwareUpdate::gauge(FlashGauge which, int value)
{
    if (setGaugeValue)
        setGaugeValue(which, value);
}

BootKernelClient FirmwareUpdate::kernelClient()
{
    // The link may close and reopen its port during an update: ask each time.
    BootKernelClient client([this] { return link_.port(); }, ui_, *clock_, link_.timings());
    client.linkReady = [this] { return link_.state() == Link::Open; };
    client.setGauge = [this](FlashGauge which, int value) { gauge(which, value); };
    return client;
}

FirmwareUpdate::Outcome FirmwareUpdate::updateCabinets(int busAddress)
{
    if (running_)
        return Outcome::AlreadyRunning;
    const Running running(*this);
    return cabinetUpdate(busAddress);
}

FirmwareUpdate::Outcome FirmwareUpdate::updateCollector()
{
    if (running_)
        return Outcome::AlreadyRunning;
    const Running running(*this);
    return collectorUpdate();
}

CabinetBlockResult FirmwareUpdate::writeCabinetPhase(BootKernelClient &kernel, const FirmwareImage &image,
                                                     CabinetBlockKind kind, int busAddress)
{
    for (int j = 0; j < image.blockCount; ++j) {
        ui_.flashLogAppend(QStringLiteral("."));
        const CabinetBlockResult result = kernel.writeCabinetBlock(image, j, kind, busAddress);
        if (result != CabinetBlockResult::Written)
            return result;
    }
    return CabinetBlockResult::Written;
}

FirmwareUpdate::Outcome FirmwareUpdate::cabinetUpdate(int busAddress)
{
    const BridgeSession session(link_);
    convertHexImages(ImageKind::Cabinet, ui_, converterSetup(), [this] { return link_.closing(); });

    // Both images must pass before anything reaches the bus.
    FirmwareImage mainImage;
    FirmwareImage indicatorImage;
    if (!loadImage(QString::fromLatin1(mainImageFile), mainImage, ui_,
                   [this](int blocks) { gaugeMaximum(FlashGauge::Main, blocks); }))
        return Outcome::Failed;
    if (!loadImage(QString::fromLatin1(indicatorImageFile), indicatorImage, ui_,
                   [this](int blocks) { gaugeMaximum(FlashGauge::Indicator, blocks); }))
        return Outcome::Failed;

    BootKernelClient kernel = kernelClient();
    ui_.flashLog(bootModeLine());
    kernel.enterCabinetBoot(busAddress);
    kernel.discardPortBuffers();

    // A stopped phase (link gone, program closing) skips the rest of the
    // blocks but still starts whatever the kernels hold.
    ui_.flashLog(QStringLiteral("Запись программы индикатора"));
    CabinetBlockResult result = writeCabinetPhase(kernel, indicatorImage, CabinetBlockKind::Indicator, busAddress);
    if (result == CabinetBlockResult::Failed)
        return Outcome::Failed;
    if (result == CabinetBlockResult::Written) {
        ui_.flashLog(QStringLiteral("Запись программы основного блока"));
        result = writeCabinetPhase(kernel, mainImage, CabinetBlockKind::Main, busAddress);
        if (result == CabinetBlockResult::Failed)
            return Outcome::Failed;
    }

    ui_.flashLog(QStringLiteral("Запуск программ..."));
    kernel.startCabinetPrograms();
    const bool complete = result == CabinetBlockResult::Written;
    if (complete) {
        ui_.flashLog(successLine());
        ui_.flashLog(restartLine());
    } else {
        // Never reported as a success: part of the program is missing.
        ui_.flashLog(QStringLiteral("Запись прервана: связь с устройством потеряна."));
        ui_.flashLog(QStringLiteral("  Перешейте ПО еще раз."));
    }
    clock_->pumpEvents();
    return complete ? Outcome::Written : Outcome::Interrupted;
}

FirmwareUpdate::Outcome FirmwareUpdate::collectorUpdate()
{
    // The collector restarts into its kernel; its answer does not matter.
    link_.cardClick();
    for (int i = 0; i < cardSettleRounds && !clock_->closing(); ++i) {
        clock_->pumpEvents();
        clock_->sleep(cardSettleSleepMs);
    }

    const BridgeSession session(link_);
    convertHexImages(ImageKind::Collector, ui_, converterSetup(), [this] { return link_.closing(); });

    FirmwareImage image;
    if (!loadImage(QString::fromLatin1(collectorImageFile), image, ui_))
        return Outcome::Failed;
    gaugeMaximum(FlashGauge::Indicator, image.blockCount);
    gaugeMaximum(FlashGauge::Main, image.blockCount);

    BootKernelClient kernel = kernelClient();
    ui_.flashLog(QStringLiteral("Если с устройством возникли проблеммы - включите его сейчас!"));
    ui_.flashLog(bootModeLine());
    clock_->pumpEvents();
    kernel.discardPortBuffers();
    if (!kernel.syncBootKernel()) {
        if (clock_->closing())
            return Outcome::Failed;
        ui_.flashLog(QStringLiteral("Устройство не перешло в boot режим."));
        ui_.flashLog(QStringLiteral("Отключите питание устройтсва и попробуйте перешить ПО еще раз."));
        return Outcome::NotInStep;
    }

    ui_.flashLog(QStringLiteral("Готово."));
    const std::optional<bootkernel::BootConfig> config = kernel.readBootConfig();
    if (!config || !kernel.findProcessor(*config))
        return Outcome::Failed;

    ui_.flashLog(QStringLiteral("Запись"));
    for (int k = 0; k < image.blockCount; ++k) {
        gauge(FlashGauge::Indicator, k + 1);
        gauge(FlashGauge::Main, k + 1);
        ui_.flashLogAppend(QStringLiteral("."));
        if (!kernel.writeCollectorBlock(image, k))
            return Outcome::Failed;
    }

    kernel.startCollectorProgram();
    ui_.flashLog(successLine());
    ui_.flashLog(restartLine());
    clock_->pumpEvents();
    return Outcome::Written;
}
