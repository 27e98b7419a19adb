// The rules of the two file lists: order, icons by kind, the "*" of a card
// file already cached, the hidden task file and the directory lines.
#include <QtTest>

#include "files/cachelist.h"
#include "files/cardlist.h"
#include "files/filekind.h"

namespace {

void writeFile(const QString &path, qsizetype size)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(size, 'x'));
}

QStringList names(const CardList &list)
{
    QStringList out;
    for (const CardEntry &e : list.entries())
        out << e.name;
    return out;
}

}  // namespace

class TestFileLists : public QObject
{
    Q_OBJECT
private slots:
    void kindsByCaption_data();
    void kindsByCaption();
    void cardEntriesListGreatestFirstWithoutRegardToCase();
    void theCacheListsUpperCaseCaptionsAndSelectsTheLastEnumerated();
    void aMissingCacheFolderIsAnEmptyList();
    void aCardFileIsCachedOnlyWithItsExactNameAndSize_data();
    void aCardFileIsCachedOnlyWithItsExactNameAndSize();
    void theTaskFileIsNeverShownOnTheCard_data();
    void theTaskFileIsNeverShownOnTheCard();
    void directoryLinesAreSplitAtTheFirstComma_data();
    void directoryLinesAreSplitAtTheFirstComma();
    void anEmptyDirectoryLineEmptiesTheList();
};

void TestFileLists::kindsByCaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("kind");
    QTest::newRow("the task file") << "RULE.BIN" << int(FileKind::Task);
    QTest::newRow("a day file") << "24-05-17.INC" << int(FileKind::Statistics);
    QTest::newRow(".IN anywhere") << "A.INX.TXT" << int(FileKind::Statistics);
    QTest::newRow("a lower-case day file is another file") << "24-05-17.inc" << int(FileKind::Other);
    QTest::newRow("the task file in lower case is another file") << "rule.bin" << int(FileKind::Other);
    QTest::newRow("anything else") << "NOTES.TXT" << int(FileKind::Other);
    QTest::newRow("no name") << "" << int(FileKind::Other);
}

void TestFileLists::kindsByCaption()
{
    QFETCH(QString, caption);
    QFETCH(int, kind);
    QCOMPARE(int(fileKind(caption)), kind);
}

void TestFileLists::cardEntriesListGreatestFirstWithoutRegardToCase()
{
    CacheList cache(QStringLiteral("/nonexistent"));
    CardList card;
    const QStringList arriving = {"24-05-16.INC,1", "24-05-18.INC,1", "b.txt,1", "24-05-17.INC,1", "A.TXT,1",
                                  ",1", "C.TXT,1"};
    for (const QString &line : arriving)
        QCOMPARE(int(card.addDirLine(line, cache).kind), int(CardList::Change::Kind::Added));
    QCOMPARE(names(card), (QStringList{"C.TXT", "b.txt", "A.TXT", "24-05-18.INC", "24-05-17.INC", "24-05-16.INC", ""}));
}

void TestFileLists::theCacheListsUpperCaseCaptionsAndSelectsTheLastEnumerated()
{
    QTemporaryDir dir;
    writeFile(dir.filePath("24-05-16.inc"), 10);
    writeFile(dir.filePath("24-05-17.INC"), 20);
    writeFile(dir.filePath("RULE.BIN"), 29);
    QVERIFY(QDir(dir.path()).mkdir("a-folder-is-no-file"));
    CacheList cache(dir.path());
    cache.relist();
    QStringList captions;
    for (const CacheEntry &e : cache.entries())
        captions << e.caption + '=' + e.sizeText();
    QCOMPARE(captions, (QStringList{"RULE.BIN=29", "24-05-17.INC=20", "24-05-16.INC=10"}));
    QCOMPARE(int(cache.entries()[0].kind), int(FileKind::Task));
    QCOMPARE(cache.lastEnumerated(), qsizetype(0));
    // Opened by the name it really has.
    QCOMPARE(cache.diskPath(2), QDir(dir.path()).filePath("24-05-16.inc"));
}

void TestFileLists::aMissingCacheFolderIsAnEmptyList()
{
    CacheList cache(QStringLiteral("/nonexistent/cache"));
    cache.relist();
    QVERIFY(cache.isEmpty());
    QCOMPARE(cache.lastEnumerated(), qsizetype(-1));
}

void TestFileLists::aCardFileIsCachedOnlyWithItsExactNameAndSize_data()
{
    QTest::addColumn<QString>("diskName");
    QTest::addColumn<int>("diskSize");
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("cached");
    QTest::newRow("same name, same size") << "24-05-17.INC" << 1234 << "24-05-17.INC,1234" << true;
    QTest::newRow("same name, another size: new again") << "24-05-17.INC" << 1200 << "24-05-17.INC,1234" << false;
    QTest::newRow("a lower-case card name never matches") << "24-05-17.inc" << 1234 << "24-05-17.inc,1234" << false;
    QTest::newRow("a lower-case copy matches an upper-case card name")
        << "24-05-17.inc" << 1234 << "24-05-17.INC,1234" << true;
    QTest::newRow("a size text with blanks is another text") << "24-05-17.INC" << 1234 << "24-05-17.INC, 1234" << false;
    QTest::newRow("another file") << "24-05-16.INC" << 1234 << "24-05-17.INC,1234" << false;
}

void TestFileLists::aCardFileIsCachedOnlyWithItsExactNameAndSize()
{
    QFETCH(QString, diskName);
    QFETCH(int, diskSize);
    QFETCH(QString, line);
    QFETCH(bool, cached);
    QTemporaryDir dir;
    writeFile(dir.filePath(diskName), diskSize);
    CacheList cache(dir.path());
    cache.relist();
    CardList card;
    card.addDirLine(line, cache);
    QCOMPARE(card.entries().size(), qsizetype(1));
    QCOMPARE(card.entries()[0].cached, cached);
    QCOMPARE(card.entries()[0].isNew(), !cached);
}

void TestFileLists::theTaskFileIsNeverShownOnTheCard_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("upper case") << "RULE.BIN,29";
    QTest::newRow("lower case") << "rule.bin,29";
    QTest::newRow("mixed case") << "Rule.Bin,29";
    QTest::newRow("without a size") << "RULE.BIN";
}

void TestFileLists::theTaskFileIsNeverShownOnTheCard()
{
    QFETCH(QString, line);
    CacheList cache(QStringLiteral("/nonexistent"));
    CardList card;
    QCOMPARE(int(card.addDirLine(line, cache).kind), int(CardList::Change::Kind::Hidden));
    QVERIFY(card.isEmpty());
}

void TestFileLists::directoryLinesAreSplitAtTheFirstComma_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("sizeText");
    QTest::newRow("name and size") << "24-05-17.INC,2780085" << "24-05-17.INC" << "2780085";
    QTest::newRow("an empty name") << ",512" << "" << "512";
    QTest::newRow("no comma: all name") << "NOTES.TXT" << "NOTES.TXT" << "";
    QTest::newRow("a second comma belongs to the size") << "A.TXT,12,34" << "A.TXT" << "12,34";
    QTest::newRow("the size text is cut at 100 characters")
        << "A.TXT," + QString(150, '9') << "A.TXT" << QString(100, '9');
    QTest::newRow("the size text is kept as sent") << "A.TXT, 12 KB" << "A.TXT" << " 12 KB";
}

void TestFileLists::directoryLinesAreSplitAtTheFirstComma()
{
    QFETCH(QString, line);
    QFETCH(QString, name);
    QFETCH(QString, sizeText);
    CacheList cache(QStringLiteral("/nonexistent"));
    CardList card;
    const CardList::Change change = card.addDirLine(line, cache);
    QCOMPARE(int(change.kind), int(CardList::Change::Kind::Added));
    QCOMPARE(change.index, qsizetype(0));
    QCOMPARE(card.entries()[0].name, name);
    QCOMPARE(card.entries()[0].sizeText, sizeText);
}

void TestFileLists::anEmptyDirectoryLineEmptiesTheList()
{
    CacheList cache(QStringLiteral("/nonexistent"));
    CardList card;
    card.addDirLine(QStringLiteral("A.INC,1"), cache);
    card.addDirLine(QStringLiteral("B.INC,1"), cache);
    QCOMPARE(int(card.addDirLine(QString(), cache).kind), int(CardList::Change::Kind::Cleared));
    QVERIFY(card.isEmpty());
}

QTEST_GUILESS_MAIN(TestFileLists)
#include "test_filelists.moc"
