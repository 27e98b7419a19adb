#pragma once
#include "portsettings.h"

#include <QMainWindow>
#include <memory>

class CabinetGrid;
class DeviceClock;
class FilesPage;
class Link;
class QHBoxLayout;
class QAction;
class OperatorUi;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QTabWidget;
class QToolButton;
class TFlash;
class TportSelect;
class TViewer;
class WidgetOperator;

// The main window: tool bars, the pages "Файлы", "Настройка системы ZEV-GSM"
// and "Настройки", and the status bar. It wires the subsystems together and
// keeps no protocol or file-format logic of its own.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit TForm1(bool serviceMode, QWidget *parent = nullptr);
    ~TForm1() override;

    OperatorUi &operatorUi();
    void attachLink(Link *link);
    void attachWindows(TFlash *flash, TportSelect *portSelect, QWidget *rule, TViewer *viewer);

    // comPort / comFriendly as loaded; an override (demonstration run) is used
    // for this run without being saved unless the operator chooses a port.
    PortChoice portChoice() const { return choice_; }
    void overridePort(const PortChoice &choice);

    QTabWidget *pages() const { return spSkinPageControl1; }

    // The subsystems' pages, placed by the program entry.
    void setGsmPage(QWidget *page);       // "Настройка системы ZEV-GSM"
    void setServicePage(QWidget *page);   // "Настройки" (replaces the bare terminal)

Q_SIGNALS:
    void closed();        // closing the main window ends the program
    void portSettled();   // 500 ms after the port opened

public Q_SLOTS:
    void FormActivate();
    void Button14Click();   // choose the port
    void Button15Click();   // task editor
    void gwClick();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void buildToolBars();
    void buildPages();
    void buildStatusBar();

    bool serviceMode_;
    bool choiceChanged_ = false;
    bool overridden_ = false;
    bool shownOnce_ = false;
    PortChoice choice_;
    Link *link_ = nullptr;
    TFlash *flash_ = nullptr;
    TportSelect *portSelect_ = nullptr;
    QWidget *rule_ = nullptr;
    TViewer *viewer_ = nullptr;
    std::unique_ptr<WidgetOperator> operator_;

    QAction *clockAction_ = nullptr;
    QLineEdit *time = nullptr;
    QToolButton *card = nullptr;
    QToolButton *rule = nullptr;
    QTabWidget *spSkinPageControl1 = nullptr;
    QWidget *spSkinTabSheet1 = nullptr;
    QHBoxLayout *filesLayout_ = nullptr;
    CabinetGrid *GTX = nullptr;
    FilesPage *files_ = nullptr;
    DeviceClock *clock_ = nullptr;
    QWidget *zevTab = nullptr;
    QWidget *spSkinTabSheet2 = nullptr;
    QPlainTextEdit *Terminal = nullptr;
    QHBoxLayout *serviceRow_ = nullptr;
    QLabel *gw = nullptr;
    QLabel *Status = nullptr;
    QProgressBar *Progress = nullptr;
};
