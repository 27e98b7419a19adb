#pragma once
#include <QVariant>
#include <QWebEnginePage>
#include <QWidget>

#include "gsm/gsmpage.h"

class GsmExchange;
class QAction;
class QPushButton;
class QWebEngineView;
class ZevWebPage;

// The content of the tab "Настройка системы ZEV-GSM": a tool bar with the
// write and read buttons over the embedded settings page. The browser is made
// on the first showing of the tab, so the program starts without the web
// engine. The page and the program meet only through a few hidden inputs
// found by id and the page's navigations to "write()", "connect()", "sync()".
class GsmSettingsTab : public QWidget, public GsmPage
{
    Q_OBJECT
public:
    // `exchange` outlives the tab; `serviceMode` is the "/kivo" switch.
    GsmSettingsTab(GsmExchange *exchange, bool serviceMode, QWidget *parent = nullptr);
    ~GsmSettingsTab() override;

    // Call before the QApplication is made: the web engine needs shared
    // OpenGL contexts.
    static void prepareApplication();
    static QUrl pageAddress();   // qrc:/HTML/zevonline

    bool pageNavigated() const { return PageNavigated; }
    bool pageLoaded() const { return PageLoaded; }
    QWebEngineView *browser() const { return Browser; }
    QWidget *loadingIndicator() const;

    // Element access by id. Without a document or without the element they
    // do nothing and read an empty text.
    void ClickPageElement(const QString &id);
    void SetPageValue(const QString &id, const QString &text);
    QString GetPageValue(const QString &id);

    // Runs a script in the page and waits for its result while events go on;
    // the wait ends when the program closes or the page does not answer.
    QVariant runPageScript(const QString &script);

    // GsmPage
    bool loaded() const override { return PageLoaded; }
    void click(const QString &id) override { ClickPageElement(id); }
    void setValue(const QString &id, const QString &text) override { SetPageValue(id, text); }
    QString value(const QString &id) override { return GetPageValue(id); }

public slots:
    void refreshZEVClick();
    void WriteSClick();
    // The tab became the current page of the main window.
    void zevTabShown();

signals:
    void pageReady();   // the settings page has loaded

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createBrowser();
    bool BrowserBeforeNavigate2(const QUrl &url, QWebEnginePage::NavigationType type, bool isMainFrame);
    void BrowserDocumentComplete();
    void BrowserDownloadComplete();
    void loadFinished(bool ok);

    GsmExchange *exchange_;
    bool serviceMode_;
    QAction *WriteS = nullptr;
    QAction *refreshZEV = nullptr;
    QWidget *area_ = nullptr;
    QPushButton *Loading = nullptr;
    QWebEngineView *Browser = nullptr;
    ZevWebPage *page_ = nullptr;
    bool PageNavigated = false;
    bool PageLoaded = false;
};
