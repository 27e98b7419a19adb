#pragma once
#include "filekind.h"

#include <QList>
#include <QString>

// One local copy of a card file.
struct CacheEntry
{
    QString caption;    // the name on disk in upper case
    qint64 size = 0;
    QString diskName;   // the real name, for opening it on a case-sensitive file system
    FileKind kind = FileKind::Other;

    QString sizeText() const { return QString::number(size); }
};

// The list `cache`: the plain files of the cache folder, kept in caption
// order. Nothing else is stored about the cache; every relist starts afresh.
class CacheList
{
public:
    explicit CacheList(QString folder = QStringLiteral("cache"));

    void setFolder(const QString &folder) { folder_ = folder; }
    QString folder() const { return folder_; }

    // Lists the folder again; a missing folder gives an empty list.
    void relist();
    void clear();

    const QList<CacheEntry> &entries() const { return entries_; }
    bool isEmpty() const { return entries_.isEmpty(); }
    // The entry the folder listing gave last (the one a refresh selects); -1 when empty.
    qsizetype lastEnumerated() const { return lastEnumerated_; }
    QString diskPath(qsizetype index) const;

    // A card file is already cached when an entry has its name exactly (in
    // upper case, as captions are) and its size text.
    bool holdsCopy(const QString &cardName, const QString &sizeText) const;

private:
    QString folder_;
    QList<CacheEntry> entries_;
    qsizetype lastEnumerated_ = -1;
    CaptionOrder order_;
};
