#pragma once
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

#include "tasks/linecodec.h"
#include "tasks/taskdata.h"
#include "tasks/taskfilebuilder.h"

// The task editor's state and its files, without any window: the profile
// library, the cabinets, the shown cabinet's task and the one TLineFields
// record every line operation shares. Failures come back as texts for the
// window to show; nothing here talks to a person.
//
// A file that existed but could not be read whole is never written over: the
// first save moves it aside (".bad") so the operator can still recover it. A
// task that could not be saved stays in memory, is shown again when its
// cabinet is, and is saved again on the next occasion.
class TaskEditorModel
{
public:
    explicit TaskEditorModel(TaskDataFolder folder = TaskDataFolder());

    const TaskDataFolder &folder() const { return m_folder; }

    // Program start: the library and the cabinet list, with whatever could be
    // read. Returns one text to tell the operator, or an empty one.
    QString load();

    // The cabinet numbers in the order of bus.txt as read.
    const QList<int> &loadedTabs() const { return m_loadedTabs; }

    // Saves the shown task (if any) and loads the task of cabinet number.
    bool showCabinet(int number, QString *error);

    // Saves the shown task to its cabinet's file.
    bool saveShownTask(QString *error);

    // Forgets the shown cabinet without saving (used when it is deleted).
    void dropShownCabinet();

    // Removes the task file of a cabinet that is being deleted.
    bool deleteCabinetTask(int number, QString *error);

    // Program end: library and cabinet list, plus any task still unsaved.
    QStringList saveAtExit(const QList<int> &tabs);

    // The task file from the given cabinets (the editor's tabs, in order),
    // written whole to rule.bin. Gives the path on success.
    bool buildTaskFile(const QList<int> &tabs, QString *path, QString *error);

    TLineFields fields;
    QList<QByteArray> prf;   // the profile library's lines
    QList<QByteArray> rule;  // the shown cabinet's task lines
    CabinetSet cabinets;
    int CurrentCabinet = -1;

private:
    bool saveLines(const QString &path, const QList<QByteArray> &lines, QString *error);
    std::optional<QList<QByteArray>> taskLines(int number) const;

    TaskDataFolder m_folder;
    QList<int> m_loadedTabs;
    QSet<QString> m_notReadWhole;          // paths to move aside before writing
    QHash<int, QList<QByteArray>> m_unsaved;  // tasks whose save failed
};
