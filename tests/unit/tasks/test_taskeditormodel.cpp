#include <QtTest>

#include "linetext.h"
#include "tasks/taskeditormodel.h"

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the fixture %s", qPrintable(path));
}

const QByteArray broilerLines = cp(QStringLiteral("Бройлер - 21 д. 00 час.\r\n  21 д. 00 час., \t37.6°C 55%\r\n"));

}  // namespace

class TestTaskEditorModel : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void theFilesAreReadAndWrittenBackAsTheyWere();
    void missingFilesAreToldOnceAndCreatedAtExit();
    void badLinesOfTheCabinetListAreSkippedAndTheFileKeptAside();
    void aLibraryThatCouldNotBeReadIsKeptAside();
    void switchingCabinetsSavesTheShownTask();
    void anUnreadableTaskLoadsEmptyAndIsKeptAsideWhenSaved();
    void aTaskThatCouldNotBeSavedStaysInMemory();
    void deletingACabinetRemovesItsTaskFile();
    void theTaskFileIsBuiltFromTheTabsInTheirOrder();
    void aTaskFileThatCannotBeWrittenIsReported();
    void theFolderAloneGivesTheSameTaskFile();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString data() const { return m_dir->filePath("data"); }
    QString path(const QString &name) const { return QDir(data()).filePath(name); }
};

void TestTaskEditorModel::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkdir("data"));
}

void TestTaskEditorModel::theFilesAreReadAndWrittenBackAsTheyWere()
{
    writeFile(path("profiles.txt"), broilerLines);
    writeFile(path("bus.txt"), "5\n\n2\r\n");
    TaskEditorModel model{TaskDataFolder(data())};
    QCOMPARE(model.load(), QString());
    QCOMPARE(model.loadedTabs(), (QList<int>{5, 2}));
    QVERIFY(model.cabinets.present(2));
    QCOMPARE(model.prf.size(), 2);
    QVERIFY(model.saveAtExit(model.loadedTabs()).isEmpty());
    QCOMPARE(readAll(path("profiles.txt")), broilerLines);
    QCOMPARE(readAll(path("bus.txt")), QByteArray("5\r\n2\r\n"));
}

void TestTaskEditorModel::missingFilesAreToldOnceAndCreatedAtExit()
{
    TaskEditorModel model{TaskDataFolder(data())};
    const QString told = model.load();
    QVERIFY(told.contains("profiles.txt"));
    QVERIFY(told.contains("bus.txt"));
    QVERIFY(model.prf.isEmpty());
    model.prf = cpLines({"Утка - 00 д. 00 час."});
    QVERIFY(model.saveAtExit({3}).isEmpty());
    QCOMPARE(readAll(path("profiles.txt")), cp(QStringLiteral("Утка - 00 д. 00 час.\r\n")));
    QCOMPARE(readAll(path("bus.txt")), QByteArray("3\r\n"));
}

void TestTaskEditorModel::badLinesOfTheCabinetListAreSkippedAndTheFileKeptAside()
{
    const QByteArray original = "1\r\nшкаф\r\n70\r\n0\r\n5\r\n5\r\n";
    writeFile(path("bus.txt"), original);
    writeFile(path("profiles.txt"), broilerLines);
    TaskEditorModel model{TaskDataFolder(data())};
    const QString told = model.load();
    QVERIFY2(told.contains("«70»") && told.contains("«0»") && !told.contains("«5»"), qPrintable(told));
    QCOMPARE(model.loadedTabs(), (QList<int>{1, 5}));
    QVERIFY(model.saveAtExit(model.loadedTabs()).isEmpty());
    QCOMPARE(readAll(path("bus.txt")), QByteArray("1\r\n5\r\n"));
    QCOMPARE(readAll(path("bus.txt.bad")), original);
}

void TestTaskEditorModel::aLibraryThatCouldNotBeReadIsKeptAside()
{
    const QByteArray huge(MaxLibraryFileBytes + 1, 'x');
    writeFile(path("profiles.txt"), huge);
    writeFile(path("profiles.txt.bad"), "an older copy");
    writeFile(path("bus.txt"), "");
    TaskEditorModel model{TaskDataFolder(data())};
    QVERIFY(model.load().contains("profiles.txt"));
    QVERIFY(model.prf.isEmpty());
    model.prf = cpLines({"Утка - 00 д. 00 час."});
    QVERIFY(model.saveAtExit({}).isEmpty());
    QCOMPARE(readAll(path("profiles.txt.bad")), QByteArray("an older copy"));
    QCOMPARE(readAll(path("profiles.txt.bad2")), huge);
    QCOMPARE(readAll(path("profiles.txt")), cp(QStringLiteral("Утка - 00 д. 00 час.\r\n")));
}

void TestTaskEditorModel::switchingCabinetsSavesTheShownTask()
{
    writeFile(path("2.txt"), "  task of two\r\n");
    TaskEditorModel model{TaskDataFolder(data())};
    model.load();
    QString error;
    QVERIFY(model.showCabinet(1, &error));
    QVERIFY(model.rule.isEmpty());
    model.rule = {"one"};
    QVERIFY(model.showCabinet(2, &error));
    QCOMPARE(readAll(path("1.txt")), QByteArray("one\r\n"));
    QCOMPARE(model.rule, QList<QByteArray>{"  task of two"});
    QCOMPARE(model.CurrentCabinet, 2);
}

void TestTaskEditorModel::anUnreadableTaskLoadsEmptyAndIsKeptAsideWhenSaved()
{
    const QByteArray huge(MaxCabinetTaskFileBytes + 1, ' ');
    writeFile(path("4.txt"), huge);
    TaskEditorModel model{TaskDataFolder(data())};
    model.load();
    QString error;
    QVERIFY(model.showCabinet(4, &error));
    QVERIFY(model.rule.isEmpty());
    QVERIFY(model.saveShownTask(&error));
    QCOMPARE(readAll(path("4.txt.bad")), huge);
    QCOMPARE(readAll(path("4.txt")), QByteArray());
}

void TestTaskEditorModel::aTaskThatCouldNotBeSavedStaysInMemory()
{
    TaskEditorModel model{TaskDataFolder(data())};
    model.load();
    QString error;
    QVERIFY(model.showCabinet(7, &error));
    model.rule = {"kept"};
    QVERIFY(QDir(data()).removeRecursively());

    QVERIFY(!model.showCabinet(8, &error));
    QVERIFY2(error.contains("7.txt"), qPrintable(error));
    QVERIFY(model.rule.isEmpty());
    model.showCabinet(7, &error);
    QCOMPARE(model.rule, QList<QByteArray>{"kept"});

    QVERIFY(QDir(m_dir->path()).mkdir("data"));
    QVERIFY(model.showCabinet(8, &error));
    QCOMPARE(readAll(path("7.txt")), QByteArray("kept\r\n"));
}

void TestTaskEditorModel::deletingACabinetRemovesItsTaskFile()
{
    writeFile(path("3.txt"), "x\r\n");
    TaskEditorModel model{TaskDataFolder(data())};
    model.load();
    QString error;
    QVERIFY(model.deleteCabinetTask(3, &error));
    QVERIFY(!QFile::exists(path("3.txt")));
    QVERIFY(model.deleteCabinetTask(3, &error));  // nothing left to delete is fine
}

void TestTaskEditorModel::theTaskFileIsBuiltFromTheTabsInTheirOrder()
{
    writeFile(path("9.txt"), cp(QStringLiteral("  02 д. 00 час., \t37.5°C 55%, \t11.07.2008 10:00 \t13.07.2008 10:00\r\n")));
    TaskEditorModel model{TaskDataFolder(data())};
    model.load();
    QString built;
    QString error;
    QVERIFY(model.buildTaskFile({9, 4}, &built, &error));
    QCOMPARE(built, path("rule.bin"));
    const QByteArray file = readAll(built);
    QCOMPARE(file.size(), 1 + 2 + 8 * 4 + 10 * 4);
    QCOMPARE(file.left(3), QByteArray("\x02\x09\x04"));
}

void TestTaskEditorModel::aTaskFileThatCannotBeWrittenIsReported()
{
    TaskEditorModel model{TaskDataFolder(data())};
    model.load();
    QVERIFY(QDir(data()).mkdir("rule.bin"));  // a folder where the file should go
    QString built;
    QString error;
    QVERIFY(!model.buildTaskFile({}, &built, &error));
    QVERIFY(built.isEmpty());
    QVERIFY2(error.contains("rule.bin"), qPrintable(error));
}

void TestTaskEditorModel::theFolderAloneGivesTheSameTaskFile()
{
    writeFile(path("bus.txt"), "9\r\n4\r\n");
    writeFile(path("9.txt"), cp(QStringLiteral("  02 д. 00 час., \t37.5°C 55%, \t11.07.2008 10:00 \t13.07.2008 10:00\r\n")));
    TaskEditorModel model{TaskDataFolder(data())};
    model.load();
    QString built;
    QString error;
    QVERIFY(model.buildTaskFile(model.loadedTabs(), &built, &error));
    const QByteArray fromEditor = readAll(built);
    QVERIFY(QFile::remove(built));
    QStringList notes;
    QVERIFY(writeTaskFileFromFolder(TaskDataFolder(data()), &notes, &error));
    QCOMPARE(readAll(built), fromEditor);
    QVERIFY(notes.isEmpty());

    // Without a folder to write into.
    QVERIFY(!writeTaskFileFromFolder(TaskDataFolder(m_dir->filePath("none")), &notes, &error));
    QVERIFY(error.contains("rule.bin"));
    QCOMPARE(notes.size(), 1);  // no bus.txt there
}

QTEST_GUILESS_MAIN(TestTaskEditorModel)
#include "test_taskeditormodel.moc"
