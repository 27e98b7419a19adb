#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// Where the editor keeps its files: "data/" in the working folder unless a
// test or the command-line tool points elsewhere.
class TaskDataFolder
{
public:
    explicit TaskDataFolder(QString dir = QStringLiteral("data"));

    QString dir() const { return m_dir; }
    QString profilesPath() const;                // profiles.txt
    QString busPath() const;                     // bus.txt
    QString cabinetTaskPath(int number) const;  // 7.txt for cabinet 7
    QString taskFilePath() const;                // rule.bin

private:
    QString m_dir;
};

// Size limits for reading the editor's files; anything larger is taken for a
// file that cannot be read.
constexpr qint64 MaxLibraryFileBytes = 4 << 20;
constexpr qint64 MaxCabinetTaskFileBytes = 1 << 20;
constexpr qint64 MaxBusFileBytes = 64 << 10;

constexpr int FirstCabinet = 1;
constexpr int LastCabinet = 63;

// Which cabinet numbers exist; tabs are rebuilt from it in ascending order.
class CabinetSet
{
public:
    bool present(int number) const;
    void setPresent(int number, bool present);  // numbers outside 1..63 are ignored
    QList<int> ascending() const;

private:
    std::array<bool, 64> CabinetPresent{};
};

enum class CabinetNumberCheck { Ok, NotANumber, OutOfRange };
CabinetNumberCheck parseCabinetNumber(const QString &text, int *number);

// bus.txt: cabinet numbers in tab order. Lines that are no number 1..63 are
// left out and given back as typed; a repeated number is taken once.
struct BusList
{
    QList<int> numbers;
    QList<QByteArray> rejected;
};
BusList parseBusLines(const QList<QByteArray> &lines);
QList<QByteArray> formatBusLines(const QList<int> &numbers);

// Builds the task file from the folder alone, cabinets in the order of
// bus.txt (the command-line tool's way; the editor uses its own tabs).
// Problems that leave out data are added to notes.
std::optional<QByteArray> buildTaskFileFromFolder(const TaskDataFolder &folder, QStringList *notes);

// The same, written whole to the folder's rule.bin; false with a reason when
// it cannot be built or written.
bool writeTaskFileFromFolder(const TaskDataFolder &folder, QStringList *notes, QString *error);
