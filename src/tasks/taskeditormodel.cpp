#include "taskeditormodel.h"

#include <QFile>

#include "link/cp1251.h"
#include "tasks/textfile.h"

namespace {

QString cannotWrite(const QString &path, const QString &why)
{
    return QStringLiteral("Не удалось записать файл %1: %2").arg(path, why);
}

QString keptAside(const QString &path)
{
    return QStringLiteral("Прежний файл не будет перезаписан: при выходе он будет сохранён рядом как %1.bad.")
        .arg(path);
}

}  // namespace

TaskEditorModel::TaskEditorModel(TaskDataFolder folder)
    : m_folder(std::move(folder))
{
}

QString TaskEditorModel::load()
{
    QStringList notes;

    const QString profilesPath = m_folder.profilesPath();
    auto library = textfile::readLines(profilesPath, MaxLibraryFileBytes);
    prf = library.lines;
    if (library.status == textfile::ReadStatus::Missing) {
        notes << QStringLiteral("Файл %1 не найден: библиотека профилей пуста.").arg(profilesPath);
    } else if (library.status == textfile::ReadStatus::Unreadable) {
        m_notReadWhole.insert(profilesPath);
        notes << QStringLiteral("Не удалось прочитать файл %1 (%2): библиотека профилей пуста. %3")
                     .arg(profilesPath, library.error, keptAside(profilesPath));
    }

    const QString busPath = m_folder.busPath();
    auto busFile = textfile::readLines(busPath, MaxBusFileBytes);
    const BusList bus = parseBusLines(busFile.lines);
    m_loadedTabs = bus.numbers;
    for (int n : bus.numbers)
        cabinets.setPresent(n, true);
    if (busFile.status == textfile::ReadStatus::Missing) {
        notes << QStringLiteral("Файл %1 не найден: список шкафов пуст.").arg(busPath);
    } else if (busFile.status == textfile::ReadStatus::Unreadable) {
        m_notReadWhole.insert(busPath);
        notes << QStringLiteral("Не удалось прочитать файл %1 (%2): список шкафов пуст. %3")
                     .arg(busPath, busFile.error, keptAside(busPath));
    } else if (!bus.rejected.isEmpty()) {
        m_notReadWhole.insert(busPath);
        QStringList shown;
        for (const auto &line : bus.rejected)
            shown << QStringLiteral("«%1»").arg(cp1251::decode(line.left(40)));
        notes << QStringLiteral("В файле %1 пропущены строки, которые не являются номером шкафа от %2 до %3: %4. %5")
                     .arg(busPath)
                     .arg(FirstCabinet)
                     .arg(LastCabinet)
                     .arg(shown.join(QStringLiteral(", ")), keptAside(busPath));
    }
    return notes.join(QStringLiteral("\n\n"));
}

bool TaskEditorModel::saveLines(const QString &path, const QList<QByteArray> &lines, QString *error)
{
    if (m_notReadWhole.contains(path)) {
        if (QFile::exists(path)) {
            QString why;
            if (!textfile::moveAside(path, nullptr, &why)) {
                if (error)
                    *error = QStringLiteral("Файл %1 не был прочитан целиком и не перезаписан: его не удалось отложить (%2).")
                                 .arg(path, why);
                return false;
            }
        }
        m_notReadWhole.remove(path);
    }
    QString why;
    if (!textfile::writeLines(path, lines, &why)) {
        if (error)
            *error = cannotWrite(path, why);
        return false;
    }
    return true;
}

bool TaskEditorModel::saveShownTask(QString *error)
{
    if (CurrentCabinet == -1)
        return true;
    if (!saveLines(m_folder.cabinetTaskPath(CurrentCabinet), rule, error)) {
        m_unsaved.insert(CurrentCabinet, rule);
        return false;
    }
    m_unsaved.remove(CurrentCabinet);
    return true;
}

bool TaskEditorModel::showCabinet(int number, QString *error)
{
    const bool saved = saveShownTask(error);
    CurrentCabinet = number;
    if (m_unsaved.contains(number)) {
        rule = m_unsaved.value(number);
        return saved;
    }
    const QString path = m_folder.cabinetTaskPath(number);
    auto task = textfile::readLines(path, MaxCabinetTaskFileBytes);
    rule = task.lines;
    if (task.status == textfile::ReadStatus::Unreadable)
        m_notReadWhole.insert(path);
    return saved;
}

void TaskEditorModel::dropShownCabinet()
{
    CurrentCabinet = -1;
    rule.clear();
}

bool TaskEditorModel::deleteCabinetTask(int number, QString *error)
{
    const QString path = m_folder.cabinetTaskPath(number);
    m_unsaved.remove(number);
    m_notReadWhole.remove(path);
    QFile file(path);
    if (file.exists() && !file.remove()) {
        if (error)
            *error = QStringLiteral("Не удалось удалить файл %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

QStringList TaskEditorModel::saveAtExit(const QList<int> &tabs)
{
    QStringList errors;
    QString error;
    const auto unsaved = m_unsaved;
    for (auto it = unsaved.cbegin(); it != unsaved.cend(); ++it) {
        if (saveLines(m_folder.cabinetTaskPath(it.key()), it.value(), &error))
            m_unsaved.remove(it.key());
        else
            errors << error;
    }
    if (!saveLines(m_folder.profilesPath(), prf, &error))
        errors << error;
    if (!saveLines(m_folder.busPath(), formatBusLines(tabs), &error))
        errors << error;
    return errors;
}

std::optional<QList<QByteArray>> TaskEditorModel::taskLines(int number) const
{
    if (m_unsaved.contains(number))
        return m_unsaved.value(number);
    auto task = textfile::readLines(m_folder.cabinetTaskPath(number), MaxCabinetTaskFileBytes);
    if (task.status != textfile::ReadStatus::Ok)
        return std::nullopt;
    return task.lines;
}

bool TaskEditorModel::buildTaskFile(const QList<int> &tabs, QString *path, QString *error)
{
    QList<CabinetTaskSource> sources;
    for (int n : tabs)
        sources.append({n, taskLines(n)});
    const QString target = m_folder.taskFilePath();
    const auto bytes = ::buildTaskFile(sources);
    if (!bytes) {
        if (error)
            *error = cannotWrite(target, QStringLiteral("задание слишком велико"));
        return false;
    }
    QString why;
    if (!textfile::writeBytes(target, *bytes, &why)) {
        if (error)
            *error = cannotWrite(target, why);
        return false;
    }
    if (path)
        *path = target;
    return true;
}
