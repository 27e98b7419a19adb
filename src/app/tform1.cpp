#include "tform1.h"

#include "cabinets/cabinetgrid.h"
#include "cabinets/deviceclock.h"
#include "files/filespage.h"
#include "viewer/tviewer.h"
#include "link/link.h"
#include "ports/tportselect.h"
#include "firmware/tflash.h"
#include "widgetoperator.h"
#include "windowgeometry.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A status bar panel that reports clicks (the GSM activity panel hides on one).
class ClickableLabel : public QLabel
{
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (onClick)
            onClick();
        QLabel::mousePressEvent(event);
    }
};

}  // namespace

TForm1::TForm1(bool serviceMode, QWidget *parent) : QMainWindow(parent), serviceMode_(serviceMode)
{
    setObjectName(QStringLiteral("Form1"));
    buildToolBars();
    buildPages();
    buildStatusBar();
    operator_ = std::make_unique<WidgetOperator>(this, Status, Progress);
    FormCreate();
}

TForm1::~TForm1() = default;

OperatorUi &TForm1::operatorUi()
{
    return *operator_;
}

void TForm1::buildToolBars()
{
    auto *bar1 = addToolBar(QStringLiteral("spSkinToolBar1"));
    bar1->setObjectName(QStringLiteral("spSkinToolBar1"));
    bar1->setMovable(false);
    bar1->addAction(QStringLiteral("Редактор заданий"), this, &TForm1::Button15Click);
    bar1->addSeparator();
    bar1->addAction(QStringLiteral("Выбрать порт подключения устройства сбора"), this, &TForm1::Button14Click);

    auto *bar2 = addToolBar(QStringLiteral("spSkinToolBar2"));
    bar2->setObjectName(QStringLiteral("spSkinToolBar2"));
    bar2->setMovable(false);
    clockAction_ = bar2->addAction(QStringLiteral("Часы / календарь"));
    time = new QLineEdit;
    time->setObjectName(QStringLiteral("time"));
    time->setReadOnly(true);
    time->setMaximumWidth(170);
    bar2->addWidget(time);
    bar2->addSeparator();
    card = new QToolButton;
    card->setObjectName(QStringLiteral("card"));
    card->setText(QStringLiteral("Карта SD "));
    bar2->addWidget(card);
    bar2->addSeparator();
    rule = new QToolButton;
    rule->setObjectName(QStringLiteral("rule"));
    rule->setText(QStringLiteral("Задание"));
    bar2->addWidget(rule);
}

void TForm1::buildPages()
{
    spSkinPageControl1 = new QTabWidget;
    spSkinPageControl1->setObjectName(QStringLiteral("spSkinPageControl1"));

    spSkinTabSheet1 = new QWidget;
    spSkinTabSheet1->setObjectName(QStringLiteral("spSkinTabSheet1"));
    filesLayout_ = new QHBoxLayout(spSkinTabSheet1);
    spSkinPageControl1->addTab(spSkinTabSheet1, QStringLiteral("Файлы"));

    zevTab = new QWidget;
    zevTab->setObjectName(QStringLiteral("zevTab"));
    new QVBoxLayout(zevTab);
    spSkinPageControl1->addTab(zevTab, QStringLiteral("Настройка системы ZEV-GSM"));

    spSkinTabSheet2 = new QWidget;
    spSkinTabSheet2->setObjectName(QStringLiteral("spSkinTabSheet2"));
    auto *service = new QVBoxLayout(spSkinTabSheet2);
    auto *portButton = new QPushButton(QStringLiteral("Порт"));
    portButton->setObjectName(QStringLiteral("Button14"));
    connect(portButton, &QPushButton::clicked, this, &TForm1::Button14Click);
    serviceRow_ = new QHBoxLayout;
    serviceRow_->addWidget(portButton);
    serviceRow_->addStretch(1);
    service->addLayout(serviceRow_);
    Terminal = new QPlainTextEdit;
    Terminal->setObjectName(QStringLiteral("Terminal"));
    Terminal->setReadOnly(true);
    Terminal->setMaximumBlockCount(5000);   // a chatty device must not eat the memory
    service->addWidget(Terminal, 1);
    spSkinPageControl1->addTab(spSkinTabSheet2, QStringLiteral("Настройки"));

    setCentralWidget(spSkinPageControl1);
}

void TForm1::buildStatusBar()
{
    auto *gwLabel = new ClickableLabel(QStringLiteral("Общение с GSM модулем"));
    gwLabel->onClick = [this] { gwClick(); };
    gw = gwLabel;
    gw->setObjectName(QStringLiteral("gw"));
    gw->hide();
    Status = new QLabel;
    Status->setObjectName(QStringLiteral("Status"));
    Progress = new QProgressBar;
    Progress->setObjectName(QStringLiteral("Progress"));
    Progress->setRange(0, 100);
    Progress->setValue(0);
    Progress->setTextVisible(true);
    Progress->setMaximumWidth(220);
    statusBar()->addWidget(gw);
    statusBar()->addWidget(Status, 1);
    statusBar()->addPermanentWidget(Progress);
}

void TForm1::FormCreate()
{
    choice_ = loadPortChoice();
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize available = screen ? screen->size() : QSize(1024, 768);
    resize(initialWindowSize(available));
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
    spSkinPageControl1->setCurrentWidget(spSkinTabSheet1);
    setWindowTitle(mainWindowCaption());
}

void TForm1::overridePort(const PortChoice &choice)
{
    choice_ = choice;
    overridden_ = true;
    if (link_)
        link_->setPort(choice_.path, choice_.friendly);
}

void TForm1::attachLink(Link *link)
{
    link_ = link;
    link_->setPort(choice_.path, choice_.friendly);
    connect(link_, &Link::gsmTalkingChanged, gw, &QWidget::setVisible);
    connect(link_, &Link::cardCaption, card, &QToolButton::setText);
    connect(link_, &Link::ruleCaption, rule, &QToolButton::setText);
    connect(link_, &Link::timeReported, time, &QLineEdit::setText);
    connect(link_, &Link::terminalLine, Terminal, &QPlainTextEdit::appendPlainText);

    files_ = new FilesPage(*link_, *operator_);
    filesLayout_->addWidget(files_, 1);
    connect(files_, &FilesPage::startDirElapsed, this, &TForm1::portSettled);
    GTX = new CabinetGrid(*link_, *operator_);
    GTX->setMaximumWidth(420);
    filesLayout_->addWidget(GTX, 0);
    connect(GTX, &CabinetGrid::loadStatisticsRequested, files_, &FilesPage::loadCabinetStatistics);
    connect(GTX, &CabinetGrid::refreshRequested, files_, [this] {
        link_->reopenLink();
        files_->refreshFileLists();
    });

    clock_ = new DeviceClock(*link_, *operator_, this);
    connect(clockAction_, &QAction::triggered, clock_, &DeviceClock::Button11Click);
}

void TForm1::attachWindows(TFlash *flash, TportSelect *portSelect, QWidget *rule, TViewer *viewer)
{
    viewer_ = viewer;
    if (files_ && viewer_)
        connect(files_, &FilesPage::viewRequested, viewer_, [this](const QString &name, int cabinet) {
            viewer_->show();
            viewer_->raise();
            viewer_->openFile(name, cabinet);
        });
    flash_ = flash;
    portSelect_ = portSelect;
    rule_ = rule;
    operator_->setLogSink([flash](const QString &line) { flash->appendLog(line); },
                          [flash](const QString &text) { flash->appendToLastLine(text); });
}

bool TForm1::event(QEvent *event)
{
    // Without a window manager the window is never activated; its first
    // showing counts as the first activation.
    if (event->type() == QEvent::WindowActivate || (event->type() == QEvent::Show && !shownOnce_)) {
        shownOnce_ = true;
        FormActivate();
    }
    return QMainWindow::event(event);
}

void TForm1::FormActivate()
{
    if (files_)
        files_->updateFileButtons();
    spSkinPageControl1->setTabVisible(spSkinPageControl1->indexOf(spSkinTabSheet2), serviceMode_);
    if (link_)
        link_->startPump();
    // Every return to the main window relists the cache and asks for the card's directory.
    if (files_)
        files_->refreshFileLists();
}

void TForm1::Button14Click()
{
    if (!portSelect_)
        return;
    if (link_)
        link_->setOpenSuspended(true);
    portSelect_->setChoice(choice_.path, choice_.friendly);
    portSelect_->EnumClick();
    if (portSelect_->exec() == QDialog::Accepted
        && (portSelect_->choicePath() != choice_.path || portSelect_->choiceFriendly() != choice_.friendly)) {
        choice_ = {portSelect_->choicePath(), portSelect_->choiceFriendly()};
        choiceChanged_ = true;
    }
    if (link_) {
        link_->setPort(choice_.path, choice_.friendly);
        link_->setOpenSuspended(false);
        link_->requestReopen();
    }
}

void TForm1::Button15Click()
{
    if (!rule_)
        return;
    rule_->show();
    rule_->raise();
    rule_->activateWindow();
}

void TForm1::gwClick()
{
    if (link_)
        link_->hideGsmPanel();
    gw->hide();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (link_)
        link_->setClosing();
    if (!overridden_ || choiceChanged_)
        savePortChoice(choice_);
    QMainWindow::closeEvent(event);
    Q_EMIT closed();
}

void TForm1::setGsmPage(QWidget *page)
{
    zevTab->layout()->setContentsMargins(0, 0, 0, 0);
    zevTab->layout()->addWidget(page);
}

void TForm1::setServicePage(QWidget *page)
{
    QLayout *layout = spSkinTabSheet2->layout();
    while (QLayoutItem *item = layout->takeAt(0)) {
        if (QWidget *w = item->widget())
            w->deleteLater();
        else if (QLayout *inner = item->layout())
            while (QLayoutItem *innerItem = inner->takeAt(0)) {
                if (innerItem->widget())
                    innerItem->widget()->deleteLater();
                delete innerItem;
            }
        delete item;
    }
    Terminal = nullptr;
    serviceRow_ = nullptr;
    layout->addWidget(page);
}
