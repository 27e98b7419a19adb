// Pictures of the task editor and its dialogs, written to screenshots/ (or
// the folder named by INCUBATOR_SCREENSHOTS) for a person to look at.
#include <QtTest>
#include <QMessageBox>
#include <QTreeWidget>

#include "link/cp1251.h"
#include "messageboxoperator.h"
#include "rulescript.h"
#include "tasks/cabinettabs.h"
#include "tasks/rolluppanel.h"

namespace {

QByteArray cp(const QString &text)
{
    return cp1251::encode(text);
}

const QByteArray library = cp(QStringLiteral(
    "Бройлер - 21 д. 00 час.\r\n"
    "  18 д. 00 час., \t37.6°C 55%\r\n"
    "  02 д. 12 час., \t37.2°C 70%\r\n"
    "  00 д. 12 час., \t36.8°C 80%\r\n"
    "Утка - 28 д. 00 час.\r\n"
    "  25 д. 00 час., \t37.8°C 60%\r\n"
    "  03 д. 00 час., \t37.5°C 85%\r\n"
    "Гусь - 30 д. 00 час.\r\n"
    "  27 д. 00 час., \t37.8°C 55%\r\n"
    "  03 д. 00 час., \t37.2°C 80%\r\n"
    "Перепел - 17 д. 00 час.\r\n"
    "  17 д. 00 час., \t37.7°C 60%\r\n"));

const QByteArray task = cp(QStringLiteral(
    "Бройлер - 21 д. 00 час., \t11.07.2008 10:00 \t01.08.2008 10:00\r\n"
    "  18 д. 00 час., \t37.6°C 55%, \t11.07.2008 10:00 \t29.07.2008 10:00\r\n"
    "  02 д. 12 час., \t37.2°C 70%, \t29.07.2008 10:00 \t31.07.2008 22:00\r\n"
    "  00 д. 12 час., \t36.8°C 80%, \t31.07.2008 22:00 \t01.08.2008 10:00\r\n"
    "*Утка - 28 д. 00 час., \t05.08.2008 08:00 \t03.09.2008 08:00\r\n"
    "  26 д. 00 час., \t37.8°C 60%, \t05.08.2008 08:00 \t31.08.2008 08:00\r\n"
    "  03 д. 00 час., \t37.5°C 85%, \t31.08.2008 08:00 \t03.09.2008 08:00\r\n"));

QString shotDir()
{
    const QString dir = qEnvironmentVariableIsSet("INCUBATOR_SCREENSHOTS")
        ? qEnvironmentVariable("INCUBATOR_SCREENSHOTS")
        : QStringLiteral(INCUBATOR_SCREENSHOT_DIR);
    QDir().mkpath(dir);
    return dir;
}

void save(QWidget &widget, const QString &name)
{
    QCoreApplication::processEvents();
    const QPixmap picture = widget.grab();
    QVERIFY(!picture.isNull());
    const QString path = QDir(shotDir()).filePath(name);
    QVERIFY2(picture.save(path), qPrintable(path));
    qInfo("wrote %s", qPrintable(path));
}

}  // namespace

class TaskEditorScreenshots : public QObject
{
    Q_OBJECT
private slots:
    void theEditorWithALibraryAndATask();
    void theEditorWithManyCabinetsAndTheLibraryRolledUp();
    void theEditorWithoutCabinets();
    void theDialogsAndAQuestion();
};

void TaskEditorScreenshots::theEditorWithALibraryAndATask()
{
    DataFixture data;
    data.write("profiles.txt", library);
    data.write("bus.txt", "1\r\n2\r\n5\r\n12\r\n33\r\n");
    data.write("2.txt", task);
    MessageBoxOperator ui;
    TRule rule(ui, TaskDataFolder(data.data()));
    rule.BUS->setCurrentIndex(1);
    rule.resize(1280, 640);
    rule.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rule));
    rule.selectTaskLine(2);
    rule.rule1Click();
    rule.selectProfileLine(4);
    rule.prf1Click();
    save(rule, "tasks_trule.png");
}

void TaskEditorScreenshots::theEditorWithManyCabinetsAndTheLibraryRolledUp()
{
    DataFixture data;
    data.write("profiles.txt", library);
    QByteArray bus;
    for (int n = 1; n <= 40; ++n)
        bus += QByteArray::number(n) + "\r\n";
    data.write("bus.txt", bus);
    data.write("1.txt", task);
    MessageBoxOperator ui;
    TRule rule(ui, TaskDataFolder(data.data()));
    rule.resize(1000, 560);
    rule.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rule));
    rule.profilesPanel->setRolledUp(true);
    rule.selectTaskLine(4);
    rule.rule1Click();
    save(rule, "tasks_trule_many_cabinets.png");
}

void TaskEditorScreenshots::theEditorWithoutCabinets()
{
    DataFixture data;
    data.write("profiles.txt", library);
    data.write("bus.txt", "");
    MessageBoxOperator ui;
    TRule rule(ui, TaskDataFolder(data.data()));
    rule.resize(1000, 500);
    rule.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rule));
    save(rule, "tasks_trule_no_cabinets.png");
}

void TaskEditorScreenshots::theDialogsAndAQuestion()
{
    MessageBoxOperator ui;
    TAddPrf stage(ui);
    TLineFields f;
    f.Days = 18;
    f.Temperature = 37.6f;
    f.Humidity = 55;
    stage.preset(f);
    stage.show();
    QVERIFY(QTest::qWaitForWindowExposed(&stage));
    save(stage, "tasks_addprf.png");

    TaddRule add;
    add.setProfiles({QStringLiteral("Бройлер - 21 д. 00 час."), QStringLiteral("Утка - 28 д. 00 час."),
                     QStringLiteral("Гусь - 30 д. 00 час.")});
    add.preset(QDate(2008, 7, 11), 10);
    add.prf->setCurrentRow(1);
    add.show();
    QVERIFY(QTest::qWaitForWindowExposed(&add));
    save(add, "tasks_addrule.png");

    QMessageBox question(QMessageBox::Warning, QStringLiteral("Записать задание?"),
                         QStringLiteral("Файл задания создан. Записать его в устройство?"),
                         QMessageBox::Yes | QMessageBox::No);
    MessageBoxOperator::nameButtons(question);
    question.show();
    QVERIFY(QTest::qWaitForWindowExposed(&question));
    save(question, "tasks_question.png");
}

QTEST_MAIN(TaskEditorScreenshots)
#include "trule_screenshots.moc"
