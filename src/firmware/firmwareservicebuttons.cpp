#include "firmwareservicebuttons.h"

#include "collectormode.h"
#include "link/link.h"
#include "link/operatorui.h"
#include "tflash.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace {

constexpr int broadcastAddress = 63;

}  // namespace

FirmwareServiceButtons::FirmwareServiceButtons(Link &link, OperatorUi &ui, TFlash &flash, QWidget *parent)
    : QWidget(parent), link_(link), ui_(ui), flash_(flash)
{
    Bridge = new QPushButton(QStringLiteral("Мост"));
    Bridge->setObjectName(QStringLiteral("Bridge"));
    Auto = new QPushButton(QStringLiteral("Авто"));
    Auto->setObjectName(QStringLiteral("Auto"));
    Button6 = new QPushButton(QStringLiteral("Перешить ПО"));
    Button6->setObjectName(QStringLiteral("Button6"));
    connect(Bridge, &QPushButton::clicked, this, &FirmwareServiceButtons::BridgeClick);
    connect(Auto, &QPushButton::clicked, this, &FirmwareServiceButtons::AutoClick);
    connect(Button6, &QPushButton::clicked, this, &FirmwareServiceButtons::Button6Click);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Bridge);
    layout->addWidget(Auto);
    layout->addWidget(Button6);
}

int FirmwareServiceButtons::address() const
{
    return busAddress ? busAddress() : broadcastAddress;
}

void FirmwareServiceButtons::BridgeClick() { sendBridgeMode(link_); }

void FirmwareServiceButtons::AutoClick() { sendAutoMode(link_); }

void FirmwareServiceButtons::Button6Click()
{
    // A fresh port for the update; waits as long as it takes to reopen.
    link_.reopenLink();
    if (link_.closing())
        return;
    const int num = address();
    if (num != broadcastAddress)
        ui_.message(QStringLiteral("Перешивка возможна только в широковещательном режиме!"),
                    QStringLiteral("Предупреждение!"), OperatorUi::Icon::Information);
    flash_.setBusAddress(num);
    flash_.exec();
}
