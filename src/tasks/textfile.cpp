#include "textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace textfile {

ReadBytes readBytes(const QString &path, qint64 maxBytes)
{
    ReadBytes result;
    QFile file(path);
    if (!file.exists()) {
        result.status = ReadStatus::Missing;
        return result;
    }
    result.status = ReadStatus::Unreadable;
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    const qint64 size = file.size();
    if (size > maxBytes) {
        result.error = QStringLiteral("файл больше %1 байт").arg(maxBytes);
        return result;
    }
    // Read one byte past the limit so that a file growing under us is caught.
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        return result;
    }
    if (bytes.size() > maxBytes) {
        result.error = QStringLiteral("файл больше %1 байт").arg(maxBytes);
        return result;
    }
    result.bytes = std::move(bytes);
    result.status = ReadStatus::Ok;
    return result;
}

ReadResult readLines(const QString &path, qint64 maxBytes)
{
    ReadBytes raw = readBytes(path, maxBytes);
    ReadResult result;
    result.status = raw.status;
    result.error = raw.error;
    if (raw.status != ReadStatus::Ok)
        return result;
    for (QByteArray &line : raw.bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.trimmed().isEmpty())
            result.lines.append(std::move(line));
    }
    return result;
}

bool writeBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool writeLines(const QString &path, const QList<QByteArray> &lines, QString *error)
{
    QByteArray bytes;
    for (const auto &line : lines)
        bytes += line + "\r\n";
    return writeBytes(path, bytes, error);
}

bool moveAside(const QString &path, QString *newPath, QString *error)
{
    QString target = path + QStringLiteral(".bad");
    for (int n = 2; QFileInfo::exists(target); ++n) {
        if (n > 1000) {
            if (error)
                *error = QStringLiteral("нет свободного имени для копии");
            return false;
        }
        target = path + QStringLiteral(".bad%1").arg(n);
    }
    QFile file(path);
    if (!file.rename(target)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (newPath)
        *newPath = target;
    return true;
}

}  // namespace textfile
