// Program entry: creates the windows in their fixed order, the link, and runs
// the message loop. The first parameter "/kivo" shows the service tools.
#include "firmware/firmwareservicebuttons.h"
#include "firmware/tflash.h"
#include "gsm/collectorgsmlink.h"
#include "gsm/gsmexchange.h"
#include "gsm/gsmsettingstab.h"
#include "link/link.h"
#include "ports/tportselect.h"
#include "service/servicepage.h"
#include "sim/portfactory.h"
#include "tasks/linkuploadchannel.h"
#include "tasks/taskupload.h"
#include "tasks/trule.h"
#include "tform1.h"
#include "viewer/tviewer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLayout>
#include <QLibraryInfo>
#include <QTabWidget>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <memory>

namespace {

struct Options
{
    bool serviceMode = false;
    QString port;          // --port PATH: this run only, not saved
    QString portName;      // --port-name TEXT
    QString screenshot;    // --screenshot FILE: grab the main window, then quit
    int quitAfterMs = 0;   // --quit-after MS
    int page = -1;         // --page N: show that page first (0 "Файлы")
};

Options parseOptions(const QStringList &args)
{
    Options o;
    // Exact and case-sensitive, and only as the first parameter.
    o.serviceMode = args.size() > 1 && args[1] == QLatin1String("/kivo");
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--port"))
            o.port = args[++i];
        else if (args[i] == QLatin1String("--port-name"))
            o.portName = args[++i];
        else if (args[i] == QLatin1String("--screenshot"))
            o.screenshot = args[++i];
        else if (args[i] == QLatin1String("--quit-after"))
            o.quitAfterMs = args[++i].toInt();
        else if (args[i] == QLatin1String("--page"))
            o.page = args[++i].toInt();
    }
    if (!o.screenshot.isEmpty() && o.quitAfterMs <= 0)
        o.quitAfterMs = 3000;
    return o;
}

}  // namespace

int main(int argc, char *argv[])
{
    GsmSettingsTab::prepareApplication();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Incubator"));
    QApplication::setOrganizationName(QStringLiteral("KIVO"));
    QApplication::setQuitOnLastWindowClosed(false);
    const Options options = parseOptions(app.arguments());

    // The standard buttons in Russian (Да, Нет, Отмена), as the staff read them.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    // The link outlives the windows that talk through it: it is declared
    // first, made once the main window offers its operator interface.
    std::unique_ptr<Link> linkOwner;
    TForm1 form1(options.serviceMode);
    linkOwner = std::make_unique<Link>(simulatorAwarePortFactory(), form1.operatorUi());
    Link &link = *linkOwner;
    TFlash flash(link, form1.operatorUi(), &form1);
    TportSelect portSelect(&form1);
    TRule rule(form1.operatorUi());   // also makes the stage and add-profile dialogs
    TViewer viewer;
    viewer.setOperator(&form1.operatorUi());

    if (!options.port.isEmpty()) {
        const QString name = !options.portName.isEmpty() ? options.portName
                             : options.port == QString::fromUtf8(demoPortPath) ? QString::fromUtf8(demoPortDisplayName)
                                                                                : options.port;
        form1.overridePort({options.port, name});
    }

    form1.attachLink(&link);

    CollectorGsmLink gsmLink(link);
    GsmExchange gsm(gsmLink, form1.operatorUi());
    gsmLink.deliverTo(gsm);
    auto *gsmTab = new GsmSettingsTab(&gsm, options.serviceMode);
    form1.setGsmPage(gsmTab);
    // Once the port has settled, a showing settings page reads its settings if it has none yet.
    QObject::connect(&form1, &TForm1::portSettled, gsmTab, [gsmTab] {
        if (gsmTab->isVisible())
            gsmTab->zevTabShown();
    });
    form1.attachWindows(&flash, &portSelect, &rule, &viewer);
    // The service page, with "Мост", "Авто" and "Перешить ПО" addressed by its `num`.
    auto *service = new ServicePage(link, form1.operatorUi());
    form1.setServicePage(service);
    auto *firmwareButtons = new FirmwareServiceButtons(link, form1.operatorUi(), flash);
    firmwareButtons->busAddress = [service] { return service->busAddress(); };
    service->firmwareSlot()->layout()->addWidget(firmwareButtons);
    QObject::connect(service, &ServicePage::portRequested, &form1, &TForm1::Button14Click);
    // WriteZClick: the task editor built data/rule.bin and the operator wants it written.
    QObject::connect(&rule, &TRule::uploadRequested, &form1, [&](const QString &path) {
        LinkTaskUploadChannel channel(link);
        uploadTaskFile(path, channel, form1.operatorUi());
    });
    QObject::connect(&form1, &TForm1::closed, &app, &QApplication::quit);

    form1.show();
    if (options.page >= 0)
        form1.pages()->setCurrentIndex(options.page);

    if (options.quitAfterMs > 0) {
        QTimer::singleShot(options.quitAfterMs, &app, [&] {
            // A message box still open would keep its own loop running.
            while (QWidget *modal = QApplication::activeModalWidget()) {
                if (!options.screenshot.isEmpty())
                    modal->grab().save(QFileInfo(options.screenshot).path() + QStringLiteral("/dialog.png"));
                modal->close();
                QCoreApplication::processEvents();
            }
            if (!options.screenshot.isEmpty()) {
                const bool saved = form1.grab().save(options.screenshot);
                std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "screenshot:" : "cannot save screenshot",
                             qPrintable(QDir().absoluteFilePath(options.screenshot)));
            }
            form1.close();
            app.quit();
        });
    }
    const int code = app.exec();
    rule.FormDestroy();   // saves the task editor's files while the operator interface lives
    return code;
}
