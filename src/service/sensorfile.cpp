#include "sensorfile.h"

#include "link/cp1251.h"
#include "link/operatorui.h"
#include "sensorrecord.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace sensorfile {

namespace {

// Thirteen numbers take a few hundred bytes; anything far larger is not ours.
constexpr qint64 maxFileSize = 64 * 1024;

const QString errorCaption = QStringLiteral("Ошибка!");

QString rowName(int row)
{
    return QStringLiteral("«%1»").arg(sensorRowNames().value(row));
}

}  // namespace

QString defaultPath()
{
#ifdef Q_OS_WIN
    return QStringLiteral("D:\\temp\\dat.txt");
#else
    return QDir(QDir::tempPath()).filePath(QStringLiteral("dat.txt"));
#endif
}

QString text(const QStringList &rows)
{
    QString t;
    for (int row = savedRows - 1; row >= 0; --row)
        t += rows.value(row) + QLatin1Char('\t');
    return t;
}

Loaded apply(const QString &fileText, const QStringList &rows)
{
    Loaded result{rows, {}, 0};
    while (result.rows.size() < SensorRecord::rowCount)
        result.rows.append(QString());

    QStringList fields = fileText.split(QLatin1Char('\t'));
    // The rest after the last tab (the whole text when there is none) is a
    // field only once its closing line break is gone and something is left.
    QString rest = fields.takeLast();
    if (rest.endsWith(QLatin1String("\r\n")))
        rest.chop(2);
    else if (rest.endsWith(QLatin1Char('\n')) || rest.endsWith(QLatin1Char('\r')))
        rest.chop(1);
    if (!rest.isEmpty())
        fields.append(rest);

    for (qsizetype i = 0; i < fields.size(); ++i) {
        const int row = savedRows - 1 - int(i);
        if (row < 0) {
            result.extraFields = int(fields.size() - i);
            break;
        }
        const QString value = fields[i].trimmed();
        if (value.isEmpty())
            result.emptyRows.append(row);
        else
            result.rows[row] = value;
    }
    return result;
}

bool save(const QString &path, const QStringList &rows, OperatorUi &ui)
{
    for (int row = savedRows - 1; row >= 0; --row) {
        const QString value = rows.value(row);
        bool encodable = true;
        cp1251::encode(value, &encodable);
        // A tab or line break inside a value would shift every later row.
        if (!encodable || value.contains(QLatin1Char('\t')) || value.contains(QLatin1Char('\n'))
            || value.contains(QLatin1Char('\r'))) {
            ui.message(QStringLiteral("Значение в строке %1 нельзя записать в файл.").arg(rowName(row)), errorCaption,
                       OperatorUi::Icon::Error);
            return false;
        }
    }
    const QByteArray bytes = cp1251::encode(text(rows));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        ui.message(QStringLiteral("Не удалось записать файл %1").arg(QDir::toNativeSeparators(path)), errorCaption,
                   OperatorUi::Icon::Error);
        return false;
    }
    return true;
}

bool load(const QString &path, QStringList &rows, OperatorUi &ui)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ui.message(QStringLiteral("Не удалось открыть файл %1").arg(QDir::toNativeSeparators(path)), errorCaption,
                   OperatorUi::Icon::Error);
        return false;
    }
    const QByteArray bytes = file.read(maxFileSize + 1);
    if (bytes.size() > maxFileSize) {
        ui.message(QStringLiteral("Файл %1 слишком велик для файла параметров.").arg(QDir::toNativeSeparators(path)),
                   errorCaption, OperatorUi::Icon::Error);
        return false;
    }
    const Loaded loaded = apply(cp1251::decode(bytes), rows);
    rows = loaded.rows;

    QStringList notes;
    if (!loaded.emptyRows.isEmpty()) {
        QStringList names;
        for (int row : loaded.emptyRows)
            names << rowName(row);
        notes << QStringLiteral("Пустые поля файла пропущены, строки %1 не изменены.").arg(names.join(QStringLiteral(", ")));
    }
    if (loaded.extraFields > 0)
        notes << QStringLiteral("Лишние поля файла пропущены: %1.").arg(loaded.extraFields);
    if (!notes.isEmpty())
        ui.message(notes.join(QLatin1Char('\n')), QStringLiteral("Предупреждение!"), OperatorUi::Icon::Warning);
    return true;
}

}  // namespace sensorfile
