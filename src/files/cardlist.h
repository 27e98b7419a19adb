#pragma once
#include "filekind.h"

#include <QList>
#include <QString>

class CacheList;

// One file on the collector's card, as its directory line gave it.
struct CardEntry
{
    QString name;       // exactly as the collector sent it
    QString sizeText;   // exactly as the collector sent it
    bool cached = false;   // "*": the same file is in the cache
    FileKind kind = FileKind::Other;

    bool isNew() const { return !cached; }
};

// The list `folder`, kept in caption order and filled from "%DIR:" lines.
class CardList
{
public:
    static constexpr qsizetype maxSizeText = 100;

    struct Change
    {
        enum class Kind { Cleared, Added, Hidden } kind;
        qsizetype index = -1;   // where an entry was added
    };

    // The text after "%DIR:". Empty: the list empties. Otherwise a name, a
    // comma and a size text; the task file "RULE.BIN" is never shown.
    Change addDirLine(const QString &text, const CacheList &cache);
    void clear() { entries_.clear(); }

    const QList<CardEntry> &entries() const { return entries_; }
    bool isEmpty() const { return entries_.isEmpty(); }

private:
    QList<CardEntry> entries_;
    CaptionOrder order_;
};
