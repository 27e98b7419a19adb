#include "zevwebpage.h"

#include <QDebug>

ZevWebPage::ZevWebPage(NavigationFilter filter, QObject *parent)
    : QWebEnginePage(parent), filter_(std::move(filter))
{
}

bool ZevWebPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    return filter_ ? filter_(url, type, isMainFrame) : false;
}

void ZevWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int line,
                                          const QString &source)
{
    if (level == ErrorMessageLevel)
        qWarning().noquote() << "js:" << source << line << message;
    else
        qDebug().noquote() << "js:" << message;
}
