#include "taskdata.h"

#include <QDir>

#include "tasks/taskfilebuilder.h"
#include "tasks/textfile.h"

TaskDataFolder::TaskDataFolder(QString dir)
    : m_dir(std::move(dir))
{
}

QString TaskDataFolder::profilesPath() const { return QDir(m_dir).filePath(QStringLiteral("profiles.txt")); }
QString TaskDataFolder::busPath() const { return QDir(m_dir).filePath(QStringLiteral("bus.txt")); }
QString TaskDataFolder::taskFilePath() const { return QDir(m_dir).filePath(QStringLiteral("rule.bin")); }

QString TaskDataFolder::cabinetTaskPath(int number) const
{
    return QDir(m_dir).filePath(QString::number(number) + QStringLiteral(".txt"));
}

bool CabinetSet::present(int number) const
{
    return number >= FirstCabinet && number <= LastCabinet && CabinetPresent[number];
}

void CabinetSet::setPresent(int number, bool present)
{
    if (number >= FirstCabinet && number <= LastCabinet)
        CabinetPresent[number] = present;
}

QList<int> CabinetSet::ascending() const
{
    QList<int> numbers;
    for (int n = FirstCabinet; n <= LastCabinet; ++n) {
        if (CabinetPresent[n])
            numbers.append(n);
    }
    return numbers;
}

CabinetNumberCheck parseCabinetNumber(const QString &text, int *number)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok, 10);
    if (!ok)
        return CabinetNumberCheck::NotANumber;
    if (n < FirstCabinet || n > LastCabinet)
        return CabinetNumberCheck::OutOfRange;
    if (number)
        *number = n;
    return CabinetNumberCheck::Ok;
}

BusList parseBusLines(const QList<QByteArray> &lines)
{
    BusList bus;
    for (const auto &line : lines) {
        int n = 0;
        if (parseCabinetNumber(QString::fromLatin1(line), &n) != CabinetNumberCheck::Ok)
            bus.rejected.append(line);
        else if (!bus.numbers.contains(n))
            bus.numbers.append(n);
    }
    return bus;
}

QList<QByteArray> formatBusLines(const QList<int> &numbers)
{
    QList<QByteArray> lines;
    for (int n : numbers)
        lines.append(QByteArray::number(n));
    return lines;
}

std::optional<QByteArray> buildTaskFileFromFolder(const TaskDataFolder &folder, QStringList *notes)
{
    const auto busFile = textfile::readLines(folder.busPath(), MaxBusFileBytes);
    if (busFile.status != textfile::ReadStatus::Ok && notes)
        notes->append(QStringLiteral("не прочитан %1").arg(folder.busPath()));
    const BusList bus = parseBusLines(busFile.lines);
    if (!bus.rejected.isEmpty() && notes)
        notes->append(QStringLiteral("в %1 пропущены строки, не являющиеся номером шкафа").arg(folder.busPath()));

    QList<CabinetTaskSource> cabinets;
    for (int n : bus.numbers) {
        auto task = textfile::readLines(folder.cabinetTaskPath(n), MaxCabinetTaskFileBytes);
        CabinetTaskSource source{n, std::nullopt};
        if (task.status == textfile::ReadStatus::Ok)
            source.lines = std::move(task.lines);
        else if (task.status == textfile::ReadStatus::Unreadable && notes)
            notes->append(QStringLiteral("не прочитан %1").arg(folder.cabinetTaskPath(n)));
        cabinets.append(std::move(source));
    }
    return buildTaskFile(cabinets);
}

bool writeTaskFileFromFolder(const TaskDataFolder &folder, QStringList *notes, QString *error)
{
    const auto bytes = buildTaskFileFromFolder(folder, notes);
    QString why = QStringLiteral("задание слишком велико");
    if (bytes && textfile::writeBytes(folder.taskFilePath(), *bytes, &why))
        return true;
    if (error)
        *error = QStringLiteral("Не удалось записать файл %1: %2").arg(folder.taskFilePath(), why);
    return false;
}
