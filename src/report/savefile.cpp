#include "report/savefile.h"

#include <QSaveFile>

namespace report {

bool saveWhole(const QString &outFile, QString *message, const std::function<bool(QIODevice &)> &write)
{
    QSaveFile file(outFile);
    if (file.open(QIODevice::WriteOnly) && !write(file))
        file.cancelWriting();
    if (file.commit())
        return true;
    if (message)
        *message = QStringLiteral("Не удалось записать файл %1: %2").arg(outFile, file.errorString());
    return false;
}

}  // namespace report
