#include "filespage.h"

#include "cardfiles.h"
#include "fileicons.h"
#include "link/filetransfer.h"
#include "link/link.h"
#include "link/operatorui.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int cachedRole = Qt::UserRole;   // the card entry's "*"

QTreeWidget *makeList(const QString &name, QAbstractItemView::SelectionMode mode)
{
    auto *list = new QTreeWidget;
    list->setObjectName(name);
    list->setHeaderLabels({QStringLiteral("Файл"), QStringLiteral("Размер")});
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(mode);
    list->setAllColumnsShowFocus(true);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    return list;
}

QPushButton *makeButton(const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(name);
    return button;
}

QVBoxLayout *headed(const QString &heading, QWidget *list)
{
    auto *column = new QVBoxLayout;
    auto *label = new QLabel(heading);
    label->setBuddy(list);
    column->addWidget(label);
    column->addWidget(list, 1);
    return column;
}

}  // namespace

FilesPage::FilesPage(Link &link, OperatorUi &ui, QWidget *parent)
    : QWidget(parent), link_(link), ui_(ui), lists_(link),
      transfer_(std::make_unique<FileTransfer>(link, ui))
{
    buildPage();

    connect(&lists_, &FileLists::cardCleared, this, &FilesPage::onCardCleared);
    connect(&lists_, &FileLists::cardEntryAdded, this, &FilesPage::onCardEntryAdded);
    connect(&lists_, &FileLists::cacheRelisted, this, &FilesPage::onCacheRelisted);
    connect(&lists_, &FileLists::dirLineHandled, this, &FilesPage::updateFileButtons);
    connect(&link_, &Link::exchangeStateChanged, this, &FilesPage::updateFileButtons);
    connect(transfer_.get(), &FileTransfer::receivingChanged, this, &FilesPage::updateFileButtons);

    startDir = new QTimer(this);
    startDir->setObjectName(QStringLiteral("startDir"));
    startDir->setSingleShot(true);
    startDir->setInterval(link_.timings().startDirMs);
    connect(startDir, &QTimer::timeout, this, &FilesPage::startDirTimer);
    connect(&link_, &Link::portOpened, startDir, qOverload<>(&QTimer::start));

    updateFileButtons();
}

FilesPage::~FilesPage() = default;

void FilesPage::buildPage()
{
    folder = makeList(QStringLiteral("folder"), QAbstractItemView::ExtendedSelection);
    cache = makeList(QStringLiteral("cache"), QAbstractItemView::SingleSelection);
    dir = makeButton(QStringLiteral("dir"), QStringLiteral("Обновить"));
    open = makeButton(QStringLiteral("open"), QStringLiteral("Считать выделенные файл(ы) с устройства сбора статистики"));
    openAll = makeButton(QStringLiteral("openAll"), QStringLiteral("Считать все новые файлы"));
    del = makeButton(QStringLiteral("del"), QStringLiteral("Удалить файл(ы) в устройстве сбора статистики"));
    spSkinButton3 = makeButton(QStringLiteral("spSkinButton3"), QStringLiteral("Стоп"));
    stat = makeButton(QStringLiteral("stat"), QStringLiteral("Просмотреть файл статистики >>>"));

    auto *lists = new QHBoxLayout;
    lists->addLayout(headed(QStringLiteral("Файлы в устройстве сбора статистики"), folder), 1);
    lists->addLayout(headed(QStringLiteral("Файлы доступные для просмотра"), cache), 1);

    auto *buttons = new QGridLayout;
    buttons->addWidget(open, 0, 0);
    buttons->addWidget(stat, 0, 1);
    buttons->addWidget(openAll, 1, 0);
    buttons->addWidget(dir, 1, 1);
    buttons->addWidget(del, 2, 0);
    buttons->addWidget(spSkinButton3, 2, 1);

    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->addLayout(lists, 1);
    page->addLayout(buttons);

    connect(dir, &QPushButton::clicked, this, &FilesPage::dirClick);
    connect(open, &QPushButton::clicked, this, &FilesPage::Button13Click);
    connect(openAll, &QPushButton::clicked, this, &FilesPage::openAllClick);
    connect(del, &QPushButton::clicked, this, &FilesPage::Button17Click);
    connect(spSkinButton3, &QPushButton::clicked, this, &FilesPage::Button16Click);
    connect(stat, &QPushButton::clicked, this, &FilesPage::statClick);
    connect(folder, &QTreeWidget::itemSelectionChanged, this, &FilesPage::updateFileButtons);
    connect(cache, &QTreeWidget::itemSelectionChanged, this, &FilesPage::updateFileButtons);
    connect(folder, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (open->isEnabled())
            Button13Click();
    });
    connect(cache, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (stat->isEnabled())
            statClick();
    });
}

void FilesPage::setCacheFolder(const QString &folder)
{
    lists_.setCacheFolder(folder);
    transfer_->setCacheFolder(folder);
}

// ---- lists

void FilesPage::onCardCleared()
{
    folder->clear();
}

void FilesPage::onCardEntryAdded(qsizetype index)
{
    const CardEntry &entry = lists_.card().entries().at(index);
    auto *item = new QTreeWidgetItem({entry.name, entry.sizeText});
    item->setIcon(0, fileIcon(entry.kind));
    item->setData(0, cachedRole, entry.cached);
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    if (entry.isNew()) {
        QFont bold = folder->font();
        bold.setBold(true);
        item->setFont(0, bold);
        item->setFont(1, bold);
    }
    folder->insertTopLevelItem(int(index), item);
}

void FilesPage::onCacheRelisted()
{
    cache->clear();
    const auto &entries = lists_.cache().entries();
    for (const CacheEntry &entry : entries) {
        auto *item = new QTreeWidgetItem({entry.caption, entry.sizeText()});
        item->setIcon(0, fileIcon(entry.kind));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        cache->addTopLevelItem(item);
    }
    if (const qsizetype last = lists_.cache().lastEnumerated(); last >= 0) {
        cache->setCurrentItem(cache->topLevelItem(int(last)));
        cache->topLevelItem(int(last))->setSelected(true);
    }
}

void FilesPage::setListsEnabled(bool enabled)
{
    folder->setEnabled(enabled);
    cache->setEnabled(enabled);
}

QStringList FilesPage::selectedCardNames() const
{
    QStringList names;
    for (int i = 0; i < folder->topLevelItemCount(); ++i)
        if (folder->topLevelItem(i)->isSelected())
            names << lists_.card().entries().at(i).name;
    return names;
}

QString FilesPage::selectedCacheCaption() const
{
    const QList<QTreeWidgetItem *> selected = cache->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text(0);
}

void FilesPage::updateFileButtons()
{
    // A transfer in binary mode leaves nothing to start; neither does a read
    // or delete in progress, which waits between its requests.
    const bool idle = !transfer_->receiving() && !busy_;
    const bool cardSelected = !folder->selectedItems().isEmpty();
    dir->setEnabled(idle);
    open->setEnabled(cardSelected && idle);
    openAll->setEnabled(folder->topLevelItemCount() > 0 && idle);
    del->setEnabled(cardSelected && idle);
    stat->setEnabled(selectedCacheCaption().contains(QLatin1String(".IN")));
}

// ---- actions

void FilesPage::refreshFileLists()
{
    // A refresh in the middle of a read would reset the collector under it.
    if (busy_)
        return;
    setListsEnabled(true);
    lists_.refreshFileLists();
    updateFileButtons();
}

void FilesPage::dirClick()
{
    if (busy_)
        return;
    link_.reopenLink();
    refreshFileLists();
}

void FilesPage::startDirTimer()
{
    Q_EMIT startDirElapsed();
    if (folder->topLevelItemCount() == 0)
        refreshFileLists();
}

void FilesPage::Button13Click()
{
    if (busy_)
        return;
    {
        const QScopedValueRollback<bool> reading(busy_, true);
        setListsEnabled(false);
        updateFileButtons();
        for (const QString &name : selectedCardNames())
            if (!transfer_->readDeviceFile(name, 0))
                break;
        setListsEnabled(true);
    }
    dirClick();
}

void FilesPage::openAllClick()
{
    if (busy_)
        return;
    for (int i = 0; i < folder->topLevelItemCount(); ++i)
        if (lists_.card().entries().at(i).isNew())
            folder->topLevelItem(i)->setSelected(true);
    Button13Click();
}

void FilesPage::Button17Click()
{
    if (busy_)
        return;
    const QString question = QStringLiteral("Удалить файл(ы) ?");
    if (!ui_.ask(question, question, OperatorUi::Icon::Question))
        return;
    {
        const QScopedValueRollback<bool> deleting(busy_, true);
        setListsEnabled(false);
        updateFileButtons();
        for (const QString &name : selectedCardNames()) {
            if (!deleteCardFile(link_, name)) {
                ui_.message(QStringLiteral("Ошибка во время общения с устройством!"), QStringLiteral("Ошибка"),
                            OperatorUi::Icon::Warning);
                break;
            }
        }
        setListsEnabled(true);
    }
    dirClick();
}

void FilesPage::Button16Click()
{
    transfer_->stop();
}

void FilesPage::statClick()
{
    const QString caption = selectedCacheCaption();
    if (!caption.isEmpty())
        Q_EMIT viewRequested(caption, 0);
}

void FilesPage::loadCabinetStatistics(int cabinet)
{
    if (busy_)
        return;
    {
        const QScopedValueRollback<bool> reading(busy_, true);
        setListsEnabled(false);
        updateFileButtons();
        // Without a card file there is nothing to read; the cache still opens.
        if (!lists_.card().isEmpty())
            transfer_->readDeviceFile(lists_.card().entries().first().name, 0);
        setListsEnabled(true);
    }
    refreshFileLists();
    // Only what "Просмотреть файл статистики" would open goes to the viewer.
    const QString caption = selectedCacheCaption();
    if (caption.contains(QLatin1String(".IN")))
        Q_EMIT viewRequested(caption, cabinet);
}
