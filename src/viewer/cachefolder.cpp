#include "viewer/cachefolder.h"

#include <QCollator>
#include <QDir>
#include <algorithm>

CacheFolder::CacheFolder(QString folder)
    : m_folder(std::move(folder))
{
}

void CacheFolder::refresh()
{
    m_entries.clear();
    const QStringList names = QDir(m_folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &name : names)
        m_entries.append({name.toUpper(), name});
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(m_entries.begin(), m_entries.end(), [&collator](const Entry &a, const Entry &b) {
        return collator.compare(a.caption, b.caption) > 0;
    });
}

QString CacheFolder::caption(int index) const
{
    return index >= 0 && index < m_entries.size() ? m_entries.at(index).caption : QString();
}

QString CacheFolder::diskPath(int index) const
{
    if (index < 0 || index >= m_entries.size())
        return QString();
    return m_folder + QLatin1Char('/') + m_entries.at(index).diskName;
}

int CacheFolder::indexOf(const QString &caption) const
{
    const QString wanted = caption.toUpper();
    for (int i = 0; i < m_entries.size(); ++i)
        if (m_entries.at(i).caption == wanted)
            return i;
    return -1;
}
