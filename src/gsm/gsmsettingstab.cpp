#include "gsmsettingstab.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QGridLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWebEngineView>
#include <memory>

#include "gsm/gsmexchange.h"
#include "gsm/navigation.h"
#include "gsm/zevwebpage.h"
#include "resources/resources.h"

namespace {

// A text as a script string literal; JSON quoting is valid script.
QString scriptString(const QString &text)
{
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

QString elementScript(const QString &id, const QString &body)
{
    return QStringLiteral("(function(e){ if (!e) return ''; %1 })(document.getElementById(%2));")
        .arg(body, scriptString(id));
}

}  // namespace

GsmSettingsTab::GsmSettingsTab(GsmExchange *exchange, bool serviceMode, QWidget *parent)
    : QWidget(parent), exchange_(exchange), serviceMode_(serviceMode)
{
    resources::init();

    auto *toolBar = new QToolBar(QStringLiteral("Настройки"), this);
    toolBar->setObjectName(QStringLiteral("spSkinToolBar3"));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    WriteS = toolBar->addAction(style()->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("Записать настройки"));
    WriteS->setObjectName(QStringLiteral("WriteS"));
    WriteS->setToolTip(QStringLiteral("Записать настройки в систему"));
    refreshZEV = toolBar->addAction(style()->standardIcon(QStyle::SP_BrowserReload), QStringLiteral("Считать настройки"));
    refreshZEV->setObjectName(QStringLiteral("refreshZEV"));
    refreshZEV->setToolTip(QStringLiteral("Еще раз считать настройки из системы"));
    toolBar->addSeparator();
    connect(WriteS, &QAction::triggered, this, &GsmSettingsTab::WriteSClick);
    connect(refreshZEV, &QAction::triggered, this, &GsmSettingsTab::refreshZEVClick);

    // The browser and the loading button share one cell; the button stays on top.
    area_ = new QWidget(this);
    auto *grid = new QGridLayout(area_);
    grid->setContentsMargins(0, 0, 0, 0);
    Loading = new QPushButton(QStringLiteral("Загрузка..."), area_);
    Loading->setObjectName(QStringLiteral("Loading"));
    grid->addWidget(Loading, 0, 0, Qt::AlignCenter);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(area_, 1);

    exchange_->setPage(this);
}

GsmSettingsTab::~GsmSettingsTab()
{
    if (exchange_->page() == this)
        exchange_->setPage(nullptr);
}

void GsmSettingsTab::prepareApplication()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

QUrl GsmSettingsTab::pageAddress()
{
    return QUrl(QStringLiteral("qrc:/HTML/zevonline"));
}

QWidget *GsmSettingsTab::loadingIndicator() const
{
    return Loading;
}

void GsmSettingsTab::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Not from inside the show event: a read may wait for the collector.
    if (!event->spontaneous())
        QTimer::singleShot(0, this, &GsmSettingsTab::zevTabShown);
}

void GsmSettingsTab::zevTabShown()
{
    if (!isVisible())
        return;
    if (!PageNavigated) {
        PageNavigated = true;
        createBrowser();
        Browser->setFocus();
        Browser->setUrl(pageAddress());
    } else {
        Browser->setFocus();
        if (!exchange_->settingsShown())
            refreshZEVClick();
    }
}

void GsmSettingsTab::createBrowser()
{
    Browser = new QWebEngineView(area_);
    Browser->setObjectName(QStringLiteral("Browser"));
    page_ = new ZevWebPage(
        [this](const QUrl &url, QWebEnginePage::NavigationType type, bool isMainFrame) {
            return BrowserBeforeNavigate2(url, type, isMainFrame);
        },
        Browser);
    Browser->setPage(page_);
    connect(page_, &QWebEnginePage::loadFinished, this, &GsmSettingsTab::loadFinished);
    // A crashed page comes back with the settings already received.
    connect(page_, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status) {
                if (status != QWebEnginePage::NormalTerminationStatus)
                    QTimer::singleShot(0, Browser, [this] { Browser->reload(); });
            });
    static_cast<QGridLayout *>(area_->layout())->addWidget(Browser, 0, 0);
    Loading->raise();
}

bool GsmSettingsTab::BrowserBeforeNavigate2(const QUrl &url, QWebEnginePage::NavigationType type, bool isMainFrame)
{
    // The requests run from the event loop, not inside the engine's question.
    switch (classifyNavigation(url)) {
    case PageNavigation::Write:
        QTimer::singleShot(0, this, &GsmSettingsTab::WriteSClick);
        return false;
    case PageNavigation::Connect:
        return false;
    case PageNavigation::Sync:
        QTimer::singleShot(0, this, &GsmSettingsTab::refreshZEVClick);
        return false;
    case PageNavigation::Allow:
        return true;
    case PageNavigation::External:
        if (type == QWebEnginePage::NavigationTypeLinkClicked && isMainFrame)
            QDesktopServices::openUrl(url);
        return false;
    case PageNavigation::Refuse:
        return false;
    }
    return false;
}

void GsmSettingsTab::loadFinished(bool ok)
{
    // A cancelled navigation ("write()" and the like) also ends here, failed.
    if (!ok)
        return;
    // Some addresses (about:blank) load without being asked about: the
    // settings page is the only thing this browser shows.
    if (page_->url().adjusted(QUrl::RemoveFragment) != pageAddress()) {
        page_->setUrl(pageAddress());
        return;
    }
    BrowserDocumentComplete();
    BrowserDownloadComplete();
}

void GsmSettingsTab::BrowserDocumentComplete()
{
    PageLoaded = true;
    Loading->hide();
    emit pageReady();
    if (!exchange_->settingsValid())
        refreshZEVClick();
}

void GsmSettingsTab::BrowserDownloadComplete()
{
    if (exchange_->settingsShown() && exchange_->settingsValid()) {
        ClickPageElement(QStringLiteral("goonline"));
        SetPageValue(QStringLiteral("gsmSetup"), exchange_->settings());
    }
}

void GsmSettingsTab::refreshZEVClick()
{
    exchange_->requestSettings(serviceMode_);
}

void GsmSettingsTab::WriteSClick()
{
    exchange_->writeFromPage();
}

void GsmSettingsTab::ClickPageElement(const QString &id)
{
    if (Browser)
        page_->runJavaScript(elementScript(id, QStringLiteral("e.click(); return '';")));
}

void GsmSettingsTab::SetPageValue(const QString &id, const QString &text)
{
    if (Browser)
        page_->runJavaScript(
            elementScript(id, QStringLiteral("e.value = %1; e.click(); return '';").arg(scriptString(text))));
}

QString GsmSettingsTab::GetPageValue(const QString &id)
{
    return runPageScript(elementScript(id, QStringLiteral("return e.value === undefined ? '' : String(e.value);")))
        .toString();
}

QVariant GsmSettingsTab::runPageScript(const QString &script)
{
    if (!Browser)
        return {};
    struct Answer
    {
        bool done = false;
        QVariant value;
        QPointer<QEventLoop> loop;
    };
    auto answer = std::make_shared<Answer>();
    QEventLoop loop;
    answer->loop = &loop;
    page_->runJavaScript(script, [answer](const QVariant &value) {
        answer->value = value;
        answer->done = true;
        if (answer->loop)
            answer->loop->quit();
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer watch;
    connect(&watch, &QTimer::timeout, &loop, [&] {
        if (exchange_->closing())
            loop.quit();
    });
    deadline.start(exchange_->timings().pageScriptMs);
    watch.start(10);
    if (!answer->done && !exchange_->closing())
        loop.exec();
    return answer->done ? answer->value : QVariant();
}
