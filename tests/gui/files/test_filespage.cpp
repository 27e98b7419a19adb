// The page "Файлы" against the in-process collector and its card.
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

#include "files/filespage.h"
#include "link/filetransfer.h"
#include "link/link.h"
#include "link/operatorui.h"
#include "sim/card/simcard.h"
#include "sim/collector.h"
#include "sim/simulatedport.h"

namespace {

struct PageFixture
{
    QTemporaryDir dir;
    ScriptedOperator ui;
    Collector collector{CollectorConfig::quiet()};
    SimCard *card = new SimCard(collector);
    std::unique_ptr<Link> link;
    std::unique_ptr<FilesPage> page;

    PageFixture()
    {
        QDir(dir.path()).mkdir(QStringLiteral("cache"));
        LinkTimings t;
        t.pumpMs = 1;
        t.replyMs = 300;
        t.startDirMs = 50;
        link = std::make_unique<Link>(
            [this](const QString &) { return std::make_unique<SimulatedPort>(&collector); }, ui, t);
        link->setMeasurementLogPath(QString());
        link->setPort(QStringLiteral("sim:page"), QStringLiteral("sim"));
        page = std::make_unique<FilesPage>(*link, ui);
        page->setCacheFolder(cachePath());
    }
    ~PageFixture()
    {
        page.reset();
        link->setClosing();
    }

    QString cachePath() const { return dir.filePath(QStringLiteral("cache")); }
    void cacheFile(const QString &name, const QByteArray &data)
    {
        QFile f(QDir(cachePath()).filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    QByteArray cached(const QString &name) const
    {
        QFile f(QDir(cachePath()).filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // Opens the link and lets the page's own refresh after the open go by.
    bool open()
    {
        QSignalSpy elapsed(page.get(), &FilesPage::startDirElapsed);
        link->startPump();
        return link->waitUntil([&] { return link->state() == Link::Open && !elapsed.isEmpty(); });
    }
    QTreeWidget *list(const char *name) const { return page->findChild<QTreeWidget *>(name); }
    QPushButton *button(const char *name) const { return page->findChild<QPushButton *>(name); }
    QStringList rows(const char *name) const
    {
        QStringList out;
        QTreeWidget *l = list(name);
        for (int i = 0; i < l->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *item = l->topLevelItem(i);
            out << item->text(0) + '|' + item->text(1) + (item->font(0).bold() ? "|bold" : "");
        }
        return out;
    }
    void refreshAndWait(int entries)
    {
        page->refreshFileLists();
        QTRY_COMPARE(list("folder")->topLevelItemCount(), entries);
    }
    void select(const char *name, int row)
    {
        list(name)->clearSelection();
        list(name)->topLevelItem(row)->setSelected(true);
    }
    int commands(int code) const
    {
        int n = 0;
        for (const Collector::LogEntry &e : collector.log())
            n += e.kind == Collector::LogEntry::Kind::Command && e.value == code;
        return n;
    }
};

// A card with one file already cached, one new, the task file and another file.
void fillCard(PageFixture &f)
{
    f.card->setFile("24-05-16.INC", QByteArray(1234, 'a'));
    f.card->setFile("24-05-17.INC", QByteArray(40000, 'b'));
    f.card->setFile("rule.bin", QByteArray(29, 'r'));
    f.card->setFile("NOTES.TXT", QByteArray("notes"));
    f.cacheFile(QStringLiteral("24-05-16.INC"), QByteArray(1234, 'a'));
    f.cacheFile(QStringLiteral("RULE.BIN"), QByteArray(29, 'r'));
}

}  // namespace

class TestFilesPage : public QObject
{
    Q_OBJECT
private slots:
    void theListsShowCardAndCacheInTheirOrder();
    void buttonsFollowTheSelection();
    void readingAllNewFilesCopiesThemAndClearsTheBold();
    void theViewerGetsTheSelectedStatisticsFile();
    void deletingAsksFirst_data();
    void deletingAsksFirst();
    void aRefusedDeleteStopsWithTheMessage();
    void aRunningStreamDisablesTheButtons();
    void thePortOpeningFillsAnEmptyCardList();
    void loadingACabinetReadsTheTopCardFileAndOpensIt();
};

void TestFilesPage::theListsShowCardAndCacheInTheirOrder()
{
    PageFixture f;
    fillCard(f);
    QVERIFY(f.open());
    f.refreshAndWait(3);
    QCOMPARE(f.rows("folder"), (QStringList{"NOTES.TXT|5|bold", "24-05-17.INC|40000|bold", "24-05-16.INC|1234"}));
    QCOMPARE(f.rows("cache"), (QStringList{"RULE.BIN|29", "24-05-16.INC|1234"}));
    // The entry listed last by the folder is selected.
    QCOMPARE(f.list("cache")->selectedItems().size(), 1);
    QCOMPARE(f.list("cache")->selectedItems().first()->text(0), QStringLiteral("RULE.BIN"));
}

void TestFilesPage::buttonsFollowTheSelection()
{
    PageFixture f;
    fillCard(f);
    QVERIFY(f.open());
    f.refreshAndWait(3);
    QVERIFY(f.button("dir")->isEnabled());
    QVERIFY(f.button("openAll")->isEnabled());
    QVERIFY(!f.button("open")->isEnabled());
    QVERIFY(!f.button("del")->isEnabled());
    QVERIFY(!f.button("stat")->isEnabled());   // RULE.BIN is selected

    f.select("folder", 1);
    QVERIFY(f.button("open")->isEnabled());
    QVERIFY(f.button("del")->isEnabled());
    f.select("cache", 1);
    QVERIFY(f.button("stat")->isEnabled());
    f.list("folder")->clearSelection();
    QVERIFY(!f.button("open")->isEnabled());
}

void TestFilesPage::readingAllNewFilesCopiesThemAndClearsTheBold()
{
    PageFixture f;
    fillCard(f);
    QVERIFY(f.open());
    f.refreshAndWait(3);
    f.button("openAll")->click();
    QCOMPARE(f.cached(QStringLiteral("24-05-17.INC")), QByteArray(40000, 'b'));
    QCOMPARE(f.cached(QStringLiteral("NOTES.TXT")), QByteArray("notes"));
    // The cached file was not read again.
    QCOMPARE(f.commands(13), 2);
    QTRY_COMPARE(f.rows("folder"), (QStringList{"NOTES.TXT|5", "24-05-17.INC|40000", "24-05-16.INC|1234"}));
    QCOMPARE(f.rows("cache"), (QStringList{"RULE.BIN|29", "NOTES.TXT|5", "24-05-17.INC|40000", "24-05-16.INC|1234"}));
    QVERIFY(f.list("folder")->isEnabled());
}

void TestFilesPage::theViewerGetsTheSelectedStatisticsFile()
{
    PageFixture f;
    fillCard(f);
    QVERIFY(f.open());
    f.refreshAndWait(3);
    QSignalSpy view(f.page.get(), &FilesPage::viewRequested);
    // RULE.BIN is no statistics file: a double click does nothing.
    QTreeWidget *cache = f.list("cache");
    emit cache->itemDoubleClicked(cache->topLevelItem(0), 0);
    QCOMPARE(view.size(), 0);
    f.select("cache", 1);
    emit cache->itemDoubleClicked(cache->topLevelItem(1), 0);
    QCOMPARE(view.size(), 1);
    QCOMPARE(view.first(), (QVariantList{QStringLiteral("24-05-16.INC"), 0}));
    f.button("stat")->click();
    QCOMPARE(view.size(), 2);
}

void TestFilesPage::deletingAsksFirst_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("Yes deletes the selected files") << true;
    QTest::newRow("No deletes nothing") << false;
}

void TestFilesPage::deletingAsksFirst()
{
    QFETCH(bool, answer);
    PageFixture f;
    fillCard(f);
    f.ui.answer = answer;
    QVERIFY(f.open());
    f.refreshAndWait(3);
    f.list("folder")->topLevelItem(0)->setSelected(true);
    f.list("folder")->topLevelItem(2)->setSelected(true);
    f.button("del")->click();
    QCOMPARE(f.ui.questions, QStringList{QStringLiteral("Удалить файл(ы) ?")});
    QCOMPARE(!f.card->file("NOTES.TXT"), answer);
    QCOMPARE(!f.card->file("24-05-16.INC"), answer);
    QVERIFY(f.card->file("24-05-17.INC"));
    if (answer)
        QTRY_COMPARE(f.rows("folder"), (QStringList{"24-05-17.INC|40000|bold"}));
}

void TestFilesPage::aRefusedDeleteStopsWithTheMessage()
{
    PageFixture f;
    fillCard(f);
    f.ui.answer = true;
    QVERIFY(f.open());
    f.refreshAndWait(3);
    f.collector.setRefused(20, true);
    f.list("folder")->topLevelItem(0)->setSelected(true);
    f.list("folder")->topLevelItem(1)->setSelected(true);
    f.button("del")->click();
    QCOMPARE(f.ui.messages, QStringList{QStringLiteral("Ошибка во время общения с устройством!")});
    QCOMPARE(f.commands(20), 1);
}

void TestFilesPage::aRunningStreamDisablesTheButtons()
{
    PageFixture f;
    fillCard(f);
    f.card->setFile("24-05-17.INC", QByteArray(100000, 'c'));
    f.card->setStreamRate(300000);
    QVERIFY(f.open());
    f.refreshAndWait(3);
    f.select("folder", 1);
    int checked = 0;
    QObject::connect(&f.page->transfer(), &FileTransfer::checkpointPassed, [&] {
        ++checked;
        QVERIFY(!f.button("dir")->isEnabled());
        QVERIFY(!f.button("open")->isEnabled());
        QVERIFY(!f.button("openAll")->isEnabled());
        QVERIFY(!f.button("del")->isEnabled());
        QVERIFY(f.button("spSkinButton3")->isEnabled());
        QVERIFY(!f.list("folder")->isEnabled());
    });
    f.button("open")->click();
    QVERIFY(checked >= 5);
    QCOMPARE(f.cached(QStringLiteral("24-05-17.INC")), QByteArray(100000, 'c'));
    QTRY_VERIFY(f.button("openAll")->isEnabled());
    QVERIFY(f.button("dir")->isEnabled());
}

void TestFilesPage::thePortOpeningFillsAnEmptyCardList()
{
    PageFixture f;
    fillCard(f);
    QVERIFY(f.open());
    QTRY_COMPARE(f.list("folder")->topLevelItemCount(), 3);
    QCOMPARE(f.commands(19), 1);
}

void TestFilesPage::loadingACabinetReadsTheTopCardFileAndOpensIt()
{
    PageFixture f;
    f.card->setFile("24-05-16.INC", QByteArray(100, 'a'));
    f.card->setFile("24-05-17.INC", QByteArray(200, 'b'));
    QVERIFY(f.open());
    f.refreshAndWait(2);
    QSignalSpy view(f.page.get(), &FilesPage::viewRequested);
    f.page->loadCabinetStatistics(5);
    QCOMPARE(f.cached(QStringLiteral("24-05-17.INC")), QByteArray(200, 'b'));
    QCOMPARE(view.size(), 1);
    QCOMPARE(view.first(), (QVariantList{QStringLiteral("24-05-17.INC"), 5}));
}

QTEST_MAIN(TestFilesPage)
#include "test_filespage.moc"
