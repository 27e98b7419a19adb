#include "viewer/statexport.h"

#include "viewer/daypicture.h"
#include "viewer/statdocument.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>

namespace statexport {

namespace {

void appendValue(QByteArray &out, float v)
{
    out += ',';
    if (v != 0)
        out += QByteArray::number(double(v), 'f', 3);
}

void appendWord(QByteArray &out, uint16_t w)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, ",0x%04X", unsigned(w));
    out += buf;
}

void warnIfDamaged(const StatDocument &doc, QString *message)
{
    if (message)
        *message = doc.file().damagedRecords() ? StatDocument::damageMessage(doc.file().damagedRecords())
                                               : QString();
}

}  // namespace

QByteArray csv(const DaySeries &s)
{
    QByteArray out("time,t_set,t_meas,h_set,h_meas,alarms,states\n");
    for (int i = 0; i < statformat::slotsPerDay; ++i) {
        const auto k = size_t(i);
        if (s.tTask[k] == 0 && s.tMeas[k] == 0 && s.hTask[k] == 0 && s.hMeas[k] == 0
            && s.alarmBits[k] == 0 && s.stateBits[k] == 0)
            continue;
        char time[16];
        std::snprintf(time, sizeof time, "%02d:%02d:%02d", i / 360, i % 360 / 6, i % 6 * 10);
        out += time;
        appendValue(out, s.tTask[k]);
        appendValue(out, s.tMeas[k]);
        appendValue(out, s.hTask[k]);
        appendValue(out, s.hMeas[k]);
        appendWord(out, s.alarmBits[k]);
        appendWord(out, s.stateBits[k]);
        out += '\n';
    }
    return out;
}

bool openDay(const QString &statFile, int cabinet, StatDocument &doc, QString *message)
{
    const StatDocument::LoadResult r = doc.load(QFileInfo(statFile).fileName(), statFile);
    if (!r.ok()) {
        if (message)
            *message = r.message;
        return false;
    }
    if (!doc.selectCabinet(cabinet)) {
        if (message)
            *message = QStringLiteral("Шкафа %1 нет в файле %2").arg(cabinet).arg(statFile);
        return false;
    }
    return true;
}

static bool commit(QSaveFile &file, const QString &outFile, QString *message)
{
    if (file.commit())
        return true;
    if (message)
        *message = QStringLiteral("Не удалось записать файл %1: %2").arg(outFile, file.errorString());
    return false;
}

bool writeCsv(const DaySeries &s, const QString &outFile, QString *message)
{
    QSaveFile file(outFile);
    if (file.open(QIODevice::WriteOnly))
        file.write(csv(s));
    return commit(file, outFile, message);
}

bool writePng(const DaySeries &s, const QString &title, QSize size, const QString &outFile,
              QString *message)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        if (message)
            *message = QStringLiteral("Для рисунка нужен графический режим (QGuiApplication)");
        return false;
    }
    if (size.width() < daypicture::minimumWidth || size.height() < daypicture::minimumHeight
        || size.width() > daypicture::maximumSide || size.height() > daypicture::maximumSide) {
        if (message)
            *message = QStringLiteral("Размер рисунка должен быть от %1×%2 до %3×%3")
                           .arg(daypicture::minimumWidth)
                           .arg(daypicture::minimumHeight)
                           .arg(daypicture::maximumSide);
        return false;
    }
    const QImage image = daypicture::render(s, title, size);
    QSaveFile file(outFile);
    if (file.open(QIODevice::WriteOnly)) {
        QImageWriter writer(&file, "png");
        if (!writer.write(image))
            file.cancelWriting();
    }
    return commit(file, outFile, message);
}

bool exportCsv(const QString &statFile, int cabinet, const QString &outFile, QString *message)
{
    StatDocument doc;
    if (!openDay(statFile, cabinet, doc, message) || !writeCsv(doc.series(), outFile, message))
        return false;
    warnIfDamaged(doc, message);
    return true;
}

QString pictureTitle(const StatDocument &doc)
{
    return QStringLiteral("%1\nШкаф %2\n%3").arg(doc.fileName()).arg(doc.currentCabinet()).arg(doc.dateText());
}

bool exportPng(const QString &statFile, int cabinet, const QString &outFile, QSize size, QString *message)
{
    StatDocument doc;
    if (!openDay(statFile, cabinet, doc, message)
        || !writePng(doc.series(), pictureTitle(doc), size, outFile, message))
        return false;
    warnIfDamaged(doc, message);
    return true;
}

}  // namespace statexport
