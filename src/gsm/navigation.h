#pragma once
#include <QUrl>

// What the settings tab does with a navigation the page starts. The page asks
// for actions by navigating to "write()", "connect()" and "sync()"; otherwise
// it may only move within the program's own resources.
enum class PageNavigation {
    Write,      // cancel, then write the settings
    Connect,    // cancel, nothing else
    Sync,       // cancel, then read the settings again
    Allow,      // a page of the program's own resources
    External,   // an ordinary web address: cancel, the system browser may open it
    Refuse,     // anything else: cancel
};

PageNavigation classifyNavigation(const QUrl &url);
