#include "filelists.h"

#include "link/link.h"
#include "link/wire.h"

#include <QElapsedTimer>

FileLists::FileLists(Link &link, QObject *parent) : QObject(parent), link_(link)
{
    connect(&link_, &Link::dirLine, this, &FileLists::onDirLine);
}

void FileLists::refreshFileLists()
{
    // The collector in its automatic mode and searching its bus; no replies.
    link_.sendBusWord(wire::busAddressBase);
    link_.flushPort();
    link_.sendCommand(cmd::Auto);
    link_.flushPort();
    link_.sendCommand(cmd::Search);
    link_.flushPort();

    card_.clear();
    Q_EMIT cardCleared();
    cache_.relist();
    Q_EMIT cacheRelisted();

    link_.beginExchange();
    link_.sendCommand(cmd::ListDir);
    link_.flushPort();
}

bool FileLists::awaitDirectory(int quietMs)
{
    const quint64 before = dirLines_;
    quint64 seen = before;
    QElapsedTimer sinceLast;
    sinceLast.start();
    const bool open = link_.waitUntil([&] {
        if (dirLines_ != seen) {
            seen = dirLines_;
            sinceLast.restart();
        }
        return seen == before ? sinceLast.elapsed() > link_.timings().replyMs : sinceLast.elapsed() > quietMs;
    });
    return open && seen != before;
}

void FileLists::onDirLine(const QString &text)
{
    ++dirLines_;
    const CardList::Change change = card_.addDirLine(text, cache_);
    if (change.kind == CardList::Change::Kind::Cleared)
        Q_EMIT cardCleared();
    else if (change.kind == CardList::Change::Kind::Added)
        Q_EMIT cardEntryAdded(change.index);
    Q_EMIT dirLineHandled();
}
