#pragma once
#include <QWidget>
#include <functional>

class Link;
class OperatorUi;
class QPushButton;
class TFlash;

// The service page's buttons for the collector's modes and the firmware
// window: "Мост" (BridgeClick), "Авто" (AutoClick) and "Перешить ПО"
// (Button6Click). The page supplies its bus address `num`.
class FirmwareServiceButtons : public QWidget
{
    Q_OBJECT
public:
    FirmwareServiceButtons(Link &link, OperatorUi &ui, TFlash &flash, QWidget *parent = nullptr);

    // The service page's `num` (1..63, 63 with addressing off); 63 while unset.
    std::function<int()> busAddress;

    void BridgeClick();
    void AutoClick();
    void Button6Click();

private:
    int address() const;

    Link &link_;
    OperatorUi &ui_;
    TFlash &flash_;
    QPushButton *Bridge = nullptr;
    QPushButton *Auto = nullptr;
    QPushButton *Button6 = nullptr;
};
