#pragma once
#include "cachelist.h"
#include "cardlist.h"

#include <QObject>

class Link;

// Both lists of the page "Файлы" on one link: the cache is listed first, then
// the collector is asked for its directory, whose lines arrive later and are
// compared with the cache as they come.
class FileLists : public QObject
{
    Q_OBJECT
public:
    explicit FileLists(Link &link, QObject *parent = nullptr);

    void setCacheFolder(const QString &folder) { cache_.setFolder(folder); }
    QString cacheFolder() const { return cache_.folder(); }

    const CardList &card() const { return card_; }
    const CacheList &cache() const { return cache_; }

    // Empties both lists, lists the cache and sends the directory request;
    // no reply is awaited.
    void refreshFileLists();
    // Waits after a refresh until the directory has come: some "%DIR:" line
    // arrived and then none for `quietMs`. False when none came within the
    // reply time-out or the program is closing.
    bool awaitDirectory(int quietMs);

Q_SIGNALS:
    void cacheRelisted();
    void cardCleared();
    void cardEntryAdded(qsizetype index);
    void dirLineHandled();   // after every "%DIR:" line, shown or not

private:
    void onDirLine(const QString &text);

    Link &link_;
    CardList card_;
    CacheList cache_;
    quint64 dirLines_ = 0;
};
