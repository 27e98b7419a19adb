#include "converter.h"

#include "link/operatorui.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

constexpr char cabinetSource[] = "incubator.hex";
constexpr char indicatorSource[] = "indicator.hex";
constexpr char collectorSource[] = "collector.hex";

void pumpEvents() { QCoreApplication::processEvents(); }

class Conversion
{
public:
    Conversion(OperatorUi &ui, const ConverterSetup &setup, const std::function<bool()> &closing)
        : ui_(ui), setup_(setup), closing_(closing), work_(setup.workFolder)
    {
    }

    void log(const QString &line)
    {
        ui_.flashLog(line);
        pumpEvents();
    }

    void remove(const char *name) { work_.remove(QString::fromLatin1(name)); }

    void rename(const char *to)
    {
        pumpEvents();
        work_.rename(QString::fromLatin1(converterOutputFile), QString::fromLatin1(to));
        pumpEvents();
    }

    // Runs the converter on one source and waits for it without a time limit,
    // keeping the log current.
    void run(const char *source)
    {
        // A failed run must not leave an older output to be renamed.
        remove(converterOutputFile);
        QProcess process;
        process.setProgram(setup_.converter);
        process.setArguments({QDir(setup_.sourceFolder).filePath(QString::fromLatin1(source))});
        process.setWorkingDirectory(work_.absolutePath());
        process.setProcessChannelMode(QProcess::ForwardedChannels);
#ifdef Q_OS_WIN
        process.setCreateProcessArgumentsModifier(
            [](QProcess::CreateProcessArguments *args) { args->flags |= CREATE_NEW_CONSOLE; });
#endif
        pumpEvents();
        process.start();
        if (!process.waitForStarted(-1))
            return;
        while (process.state() != QProcess::NotRunning) {
            if (closing_ && closing_()) {
                process.kill();
                process.waitForFinished(-1);
                break;
            }
            process.waitForFinished(20);
            pumpEvents();
        }
        pumpEvents();
    }

private:
    OperatorUi &ui_;
    const ConverterSetup &setup_;
    const std::function<bool()> &closing_;
    QDir work_;
};

}  // namespace

ConverterSetup ConverterSetup::standard()
{
    ConverterSetup s;
#ifdef Q_OS_WIN
    s.converter = QCoreApplication::applicationDirPath() + QStringLiteral("/fwmaker.exe");
    s.sourceFolder = QStringLiteral("d:/mplab/misc/incubator");
#else
    s.converter = QCoreApplication::applicationDirPath() + QStringLiteral("/fwmaker");
    s.sourceFolder = QDir::homePath() + QStringLiteral("/mplab/misc/incubator");
#endif
    s.workFolder = QDir::currentPath();
    return s;
}

bool convertHexImages(ImageKind kind, OperatorUi &ui, const ConverterSetup &setup, const std::function<bool()> &closing)
{
    const char *required = kind == ImageKind::Cabinet ? cabinetSource : collectorSource;
    if (!QFileInfo::exists(QDir(setup.sourceFolder).filePath(QString::fromLatin1(required)))
        || !QFileInfo(setup.converter).isFile())
        return false;

    Conversion c(ui, setup, closing);
    if (kind == ImageKind::Cabinet) {
        c.log(QStringLiteral("Запуск fwmaker для 'incubator.hex'..."));
        c.remove(mainImageFile);
        c.remove(indicatorImageFile);
        c.run(cabinetSource);
        c.rename(mainImageFile);
        // The indicator's source goes with the main unit's; its own presence
        // shows only in whether fwimg.ind appears.
        c.log(QStringLiteral("Запуск fwmaker для 'indicator.hex'..."));
        c.run(indicatorSource);
        c.rename(indicatorImageFile);
    } else {
        c.remove(collectorImageFile);
        c.log(QStringLiteral("Запуск fwmaker для 'collector.hex'..."));
        c.run(collectorSource);
        c.log(QStringLiteral("Готово."));
        c.log(QString());
        c.rename(collectorImageFile);
    }
    return true;
}
