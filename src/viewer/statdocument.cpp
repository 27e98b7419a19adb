#include "viewer/statdocument.h"

#include "viewer/statname.h"

StatDocument::StatDocument()
    : m_series(std::make_unique<DaySeries>())
{
}

int StatDocument::currentCabinet() const
{
    if (m_tabs.isEmpty())
        return 0;
    return m_tabs.at(m_currentTab >= 0 && m_currentTab < m_tabs.size() ? m_currentTab : 0);
}

StatDocument::LoadResult StatDocument::load(const QString &fileName, const QString &path)
{
    LoadResult result;
    m_loaded = false;
    m_file.clear();

    QDate date;
    if (!statname::dateOf(fileName, &date, &result.message)) {
        result.status = LoadStatus::BadName;
        return result;
    }
    m_fileName = fileName;
    m_dateText = statname::dateText(date);
    const int keptCabinet = currentCabinet();
    m_caption = statname::caption(m_fileName, m_dateText);

    if (!m_file.read(path)) {
        result.status = LoadStatus::OpenFailed;
        result.message = QStringLiteral("Ошибка при открытии файла!");
        return result;
    }

    m_tabs = m_file.cabinets();
    m_currentTab = m_tabs.isEmpty() ? -1 : 0;
    const int wanted = m_requestedCabinet ? m_requestedCabinet : keptCabinet;
    const int found = m_tabs.indexOf(wanted);
    if (found >= 1)
        m_currentTab = found;

    build();
    m_requestedCabinet = 0;

    result.damagedRecords = m_file.damagedRecords();
    if (result.damagedRecords)
        result.message = damageMessage(result.damagedRecords);
    return result;
}

bool StatDocument::build()
{
    if (m_tabs.isEmpty() || m_file.recordCount() == 0)
        return false;
    m_loaded = false;
    m_loaded = m_series->build(m_file, currentCabinet());
    return m_loaded;
}

bool StatDocument::setCurrentTab(int index)
{
    if (index >= 0 && index < m_tabs.size())
        m_currentTab = index;
    return build();
}

bool StatDocument::selectCabinet(int cabinet)
{
    const int index = m_tabs.indexOf(cabinet);
    if (index < 0)
        return false;
    return setCurrentTab(index);
}

QString StatDocument::damageMessage(int skippedRecords)
{
    return QStringLiteral("Файл повреждён: пропущено записей: %1").arg(skippedRecords);
}
