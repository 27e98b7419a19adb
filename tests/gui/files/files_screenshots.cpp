// files_screenshots: shows the page "Файлы" on a link to the built-in
// demonstration collector and saves it during and after a transfer.
#include "files/filespage.h"
#include "link/filetransfer.h"
#include "link/link.h"
#include "link/operatorui.h"
#include "sim/card/simcard.h"
#include "sim/portfactory.h"
#include "sim/outputpacer.h"
#include "support/screenshots.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdio>

namespace {

// The status bar of the main window, in small.
class StatusOperator : public ScriptedOperator
{
public:
    QLabel *status = nullptr;
    QProgressBar *progressBar = nullptr;
    void setStatus(const QString &text) override { status->setText(text); }
    void setProgress(int percent, const QString &text) override
    {
        progressBar->setValue(percent);
        progressBar->setFormat(text.isEmpty() ? QStringLiteral("%p%") : text);
    }
};

}  // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QDir shots(screenshots::folder(argc, argv));
    QTemporaryDir work;
    QDir(work.path()).mkdir(QStringLiteral("cache"));
    // A task file already in the cache, as after an upload.
    QFile rule(work.filePath(QStringLiteral("cache/RULE.BIN")));
    if (rule.open(QIODevice::WriteOnly))
        rule.write(QByteArray(29, '\0'));
    rule.close();

    QWidget window;
    window.resize(820, 520);
    auto *layout = new QVBoxLayout(&window);
    StatusOperator ui;
    ui.status = new QLabel;
    ui.progressBar = new QProgressBar;
    ui.progressBar->setFixedWidth(240);
    ui.progressBar->setTextVisible(true);

    Link link(simulatorAwarePortFactory(), ui);
    link.setMeasurementLogPath(QString());
    link.setPort(QString::fromUtf8(demoPortPath), QString::fromUtf8(demoPortDisplayName));
    // At the real line rate the transfer lasts long enough to be seen.
    demoCollector().findChild<SimCard *>()->setStreamRate(OutputPacer::lineRate * 4);

    FilesPage page(link, ui);
    page.setCacheFolder(work.filePath(QStringLiteral("cache")));
    layout->addWidget(&page, 1);
    auto *bar = new QStatusBar;
    bar->addWidget(ui.status, 1);
    bar->addPermanentWidget(ui.progressBar);
    layout->addWidget(bar);
    window.show();

    link.startPump();
    link.waitUntil([&] { return page.lists().card().entries().size() >= 4; });
    screenshots::save(window, shots.filePath(QStringLiteral("files-before.png")));

    // Select two day files and read them; grab the page half way through.
    auto *folder = page.findChild<QTreeWidget *>(QStringLiteral("folder"));
    folder->topLevelItem(1)->setSelected(true);
    folder->topLevelItem(2)->setSelected(true);
    bool grabbed = false;
    QObject::connect(&page.transfer(), &FileTransfer::checkpointPassed, [&](quint32 offset) {
        if (!grabbed && offset > 900000) {
            grabbed = true;
            screenshots::save(window, shots.filePath(QStringLiteral("files-during.png")));
        }
    });
    page.Button13Click();
    link.waitUntil([&] { return page.lists().card().entries().size() >= 4; });
    QApplication::processEvents();
    screenshots::save(window, shots.filePath(QStringLiteral("files-after.png")));
    link.setClosing();
    return grabbed ? 0 : 1;
}
