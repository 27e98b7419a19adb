#include "cachelist.h"

#include <QDir>
#include <QFileInfo>

CacheList::CacheList(QString folder) : folder_(std::move(folder)) {}

void CacheList::clear()
{
    entries_.clear();
    lastEnumerated_ = -1;
}

void CacheList::relist()
{
    clear();
    const QFileInfoList files =
        QDir(folder_).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &info : files) {
        CacheEntry entry;
        entry.caption = info.fileName().toUpper();
        entry.size = info.size();
        entry.diskName = info.fileName();
        entry.kind = fileKind(entry.caption);
        const qsizetype at =
            order_.insertPosition(entries_, entry.caption, [](const CacheEntry &e) { return e.caption; });
        entries_.insert(at, entry);
        lastEnumerated_ = at;
    }
}

QString CacheList::diskPath(qsizetype index) const
{
    if (index < 0 || index >= entries_.size())
        return {};
    return QDir(folder_).filePath(entries_[index].diskName);
}

bool CacheList::holdsCopy(const QString &cardName, const QString &sizeText) const
{
    for (const CacheEntry &e : entries_)
        if (e.caption == cardName && e.sizeText() == sizeText)
            return true;
    return false;
}
