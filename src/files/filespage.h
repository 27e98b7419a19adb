#pragma once
#include "filelists.h"

#include <QWidget>
#include <memory>

class FileTransfer;
class Link;
class OperatorUi;
class QPushButton;
class QTimer;
class QTreeWidget;

// The file lists of the page "Файлы": the collector's card (`folder`) beside
// the local cache (`cache`), and the buttons that refresh them, read card
// files into the cache, delete card files, stop a transfer and hand a cached
// file to the viewer. The cabinet grid goes beside it on the same page.
class FilesPage : public QWidget
{
    Q_OBJECT
public:
    FilesPage(Link &link, OperatorUi &ui, QWidget *parent = nullptr);
    ~FilesPage() override;

    void setCacheFolder(const QString &folder);   // "cache" unless told
    const FileLists &lists() const { return lists_; }
    FileTransfer &transfer() { return *transfer_; }
    bool busy() const { return busy_; }

public Q_SLOTS:
    void refreshFileLists();
    void updateFileButtons();
    void dirClick();
    void Button13Click();    // read the selected card files
    void openAllClick();     // read every new card file
    void Button17Click();    // delete the selected card files
    void Button16Click();    // "Стоп"
    void statClick();
    // The cabinet grid's "Загрузить статистику": reads the top card file,
    // relists and opens the selected cached file for that cabinet.
    void loadCabinetStatistics(int cabinet);

Q_SIGNALS:
    // A cached file for the viewer, by its caption in `cache`.
    void viewRequested(const QString &cacheFileName, int requestedCabinet);
    // 500 ms after every port open (the GSM settings page reads its settings then).
    void startDirElapsed();

private:
    void buildPage();
    void startDirTimer();
    void onCardCleared();
    void onCardEntryAdded(qsizetype index);
    void onCacheRelisted();
    void setListsEnabled(bool enabled);
    QStringList selectedCardNames() const;
    QString selectedCacheCaption() const;

    Link &link_;
    OperatorUi &ui_;
    FileLists lists_;
    std::unique_ptr<FileTransfer> transfer_;
    bool busy_ = false;   // reading or deleting

    QTreeWidget *folder = nullptr;
    QTreeWidget *cache = nullptr;
    QPushButton *dir = nullptr;
    QPushButton *open = nullptr;
    QPushButton *openAll = nullptr;
    QPushButton *del = nullptr;
    QPushButton *spSkinButton3 = nullptr;
    QPushButton *stat = nullptr;
    QTimer *startDir = nullptr;
};
