#include "taskupload.h"

#include "link/operatorui.h"
#include "tasks/taskfilebuilder.h"
#include "tasks/textfile.h"

namespace {

void linkFailed(OperatorUi &ui)
{
    ui.setProgress(0, QString());
    ui.message(QStringLiteral("Ошибка во время общения с устройством!"), QStringLiteral("Ошибка"),
               OperatorUi::Icon::Warning);
}

int percentOf(qsizetype done, qsizetype total)
{
    return total > 0 ? int(qint64(done) * 100 / total) : 0;
}

}  // namespace

bool uploadTaskBytes(const QByteArray &file, TaskUploadChannel &channel, OperatorUi &ui)
{
    const QString phase = QStringLiteral("Запись файла...");
    ui.setProgress(0, phase);
    if (!channel.createFile(QByteArrayLiteral("rule.bin"))) {
        linkFailed(ui);
        return false;
    }

    for (qsizetype sent = 0; sent < file.size();) {
        const QByteArray block = file.mid(sent, TaskUploadBlockBytes);
        sent += block.size();
        ui.setProgress(percentOf(sent, file.size()), phase);
        if (!channel.writeBlock(block)) {
            linkFailed(ui);
            return false;
        }
    }

    ui.setProgress(0, QString());
    if (!channel.closeFile()) {
        linkFailed(ui);
        return false;
    }
    ui.message(QStringLiteral("Файл задания успешно записан"), QStringLiteral("Задание"), OperatorUi::Icon::Warning);
    return true;
}

bool uploadTaskFile(const QString &localPath, TaskUploadChannel &channel, OperatorUi &ui)
{
    const auto local = textfile::readBytes(localPath, qint64(MaxTaskFileBytes));
    if (local.status != textfile::ReadStatus::Ok) {
        const QString why = local.status == textfile::ReadStatus::Missing ? QStringLiteral("файл не найден") : local.error;
        ui.message(QStringLiteral("Не удалось прочитать файл %1: %2").arg(localPath, why), QStringLiteral("Ошибка"),
                   OperatorUi::Icon::Warning);
        return false;
    }
    return uploadTaskBytes(local.bytes, channel, ui);
}
