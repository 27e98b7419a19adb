#pragma once
#include <QList>
#include <QString>

// The local copies of card files as the viewer walks them: captions in upper
// case, newest (greatest) name first. Each entry remembers the name it has on
// disk, so that a file is opened by its real name on a case-sensitive file
// system.
class CacheFolder
{
public:
    explicit CacheFolder(QString folder = QStringLiteral("cache"));

    const QString &folder() const { return m_folder; }
    void setFolder(const QString &folder) { m_folder = folder; }

    // Lists the folder again (plain files only); a missing folder is empty.
    void refresh();

    int count() const { return int(m_entries.size()); }
    QString caption(int index) const;     // empty when out of range
    QString diskPath(int index) const;    // folder + "/" + real name
    int indexOf(const QString &caption) const;   // compared in upper case; -1 if absent

private:
    struct Entry
    {
        QString caption;
        QString diskName;
    };
    QString m_folder;
    QList<Entry> m_entries;
};
