#pragma once
#include "viewer/dayseries.h"
#include "viewer/statfile.h"

#include <QList>
#include <QString>
#include <memory>

// The viewer's loaded file and the day model of its current tab, without any
// window: the window, the exporter and the tests drive the same object.
class StatDocument
{
public:
    enum class LoadStatus { Loaded, BadName, OpenFailed };
    struct LoadResult
    {
        LoadStatus status = LoadStatus::Loaded;
        QString message;          // for the operator; empty when all went well
        int damagedRecords = 0;   // skipped by the scan
        bool ok() const { return status == LoadStatus::Loaded; }
    };

    StatDocument();

    // Loads the day file listed as `fileName`, reading it from `path`. Keeps
    // the cabinet of the current tab, or the requested one, when the new file
    // has it; then builds its day model. A failed load leaves the tabs and the
    // model as they were but marks nothing as loaded.
    LoadResult load(const QString &fileName, const QString &path);

    // Builds the day model of the current tab's cabinet; false when there is
    // no tab or no record (the model then stays as it was).
    bool build();

    // Makes a tab current and builds its model.
    bool setCurrentTab(int index);

    // Makes the tab of a cabinet current; false when the file lacks it.
    bool selectCabinet(int cabinet);

    const QString &fileName() const { return m_fileName; }
    const QString &dateText() const { return m_dateText; }
    const QString &caption() const { return m_caption; }

    int requestedCabinet() const { return m_requestedCabinet; }
    void setRequestedCabinet(int cabinet) { m_requestedCabinet = cabinet; }

    const QList<int> &tabs() const { return m_tabs; }
    int currentTab() const { return m_currentTab; }
    int currentCabinet() const;   // 0 without tabs

    bool loaded() const { return m_loaded; }
    const DaySeries &series() const { return *m_series; }
    const StatFile &file() const { return m_file; }

    static QString damageMessage(int skippedRecords);

private:
    StatFile m_file;
    std::unique_ptr<DaySeries> m_series;
    QString m_fileName;
    QString m_dateText;
    QString m_caption;
    QList<int> m_tabs;
    int m_currentTab = -1;
    int m_requestedCabinet = 0;
    bool m_loaded = false;
};
