#pragma once
#include <QWebEnginePage>
#include <functional>

// The settings page's web page: every navigation is put to the host first,
// which may cancel it; script errors go to the program's log.
class ZevWebPage : public QWebEnginePage
{
    Q_OBJECT
public:
    using NavigationFilter = std::function<bool(const QUrl &url, NavigationType type, bool isMainFrame)>;

    ZevWebPage(NavigationFilter filter, QObject *parent = nullptr);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int line,
                                  const QString &source) override;

private:
    NavigationFilter filter_;
};
