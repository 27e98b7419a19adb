#pragma once
#include <QDialog>
#include <memory>

class FirmwareUpdate;
class Link;
class OperatorUi;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

// The firmware window "Перешивка ПО": the cabinet and the collector update,
// their log `disp` and the block gauges `progr1` (indicator or collector
// blocks) and `progr` (main-unit or collector blocks). Opened modally from
// the service page; while an update runs it cannot be closed and neither
// update can be started again.
class TFlash : public QDialog
{
    Q_OBJECT
public:
    TFlash(Link &link, OperatorUi &ui, QWidget *parent = nullptr);
    ~TFlash() override;

    void appendLog(const QString &line);         // a new line in `disp`
    void appendToLastLine(const QString &text);  // continues the last line (progress dots)

    // The bus address the cabinet update sends to (the service page's `num`, 63 broadcast).
    void setBusAddress(int address) { busAddress_ = address; }
    int busAddress() const { return busAddress_; }

    FirmwareUpdate &procedures() { return *update_; }

    void FormActivate();   // clears the log and the gauges
    void EnumClick();      // "Перешить ПО (ШКАФ+ИНДИКАТОР)"
    void sbfClick();       // "Перешить ПО (СБОРЩИК)"
    void closeClick();

    // Escape and the title bar: nothing while an update runs.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    class LogOperator;

    void setRunning(bool running);
    QProgressBar *gauge(bool indicator) const;

    QLabel *head = nullptr;
    QPushButton *Enum = nullptr;
    QPushButton *sbf = nullptr;
    QPlainTextEdit *disp = nullptr;
    QProgressBar *progr1 = nullptr;
    QProgressBar *progr = nullptr;
    QPushButton *closeButton = nullptr;   // `close`

    int busAddress_ = 63;
    std::unique_ptr<LogOperator> logUi_;
    std::unique_ptr<FirmwareUpdate> update_;
};
