#pragma once
#include <QByteArray>
#include <QList>
#include <QString>

// The editor's text files: code page 1251 lines ended by CR LF. Reading is
// bounded and says whether the whole file came in; writing goes through a
// temporary file, so a file is replaced whole or not at all.
namespace textfile {

enum class ReadStatus {
    Ok,          // read whole
    Missing,     // no such file
    Unreadable,  // exists but could not be read whole (refused, failed or too large)
};

struct ReadResult
{
    QList<QByteArray> lines;  // without line ends; empty and blank lines skipped
    ReadStatus status = ReadStatus::Missing;
    QString error;
};

// Files above maxBytes are not read at all.
ReadResult readLines(const QString &path, qint64 maxBytes);

// Raw bytes, same rules.
struct ReadBytes
{
    QByteArray bytes;
    ReadStatus status = ReadStatus::Missing;
    QString error;
};
ReadBytes readBytes(const QString &path, qint64 maxBytes);

bool writeBytes(const QString &path, const QByteArray &bytes, QString *error);
bool writeLines(const QString &path, const QList<QByteArray> &lines, QString *error);

// Renames a file that could not be read whole out of the way, to the first
// free name of path + ".bad", ".bad2", ...; gives the new name.
bool moveAside(const QString &path, QString *newPath, QString *error);

}  // namespace textfile
