#include "tportselect.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TportSelect::TportSelect(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Выбор порта к которому подключено устройство"));
    resize(567, 383);

    head = new QLabel(QStringLiteral(
        "Выберите из списка портов тот, к которому подключена система.\n"
        "Если вы только что его подключили (например в порт USB) - нажмите кнопку [Поиск портов].\n"
        "Для работы программы в автономном режиме (без связи с устройством) выберите \"Автономный режим\"."));
    head->setWordWrap(true);

    List232 = new QTreeWidget;
    List232->setObjectName(QStringLiteral("List232"));
    List232->setColumnCount(2);
    List232->setHeaderLabels({QStringLiteral("Последовательные порты"), QStringLiteral("Путь")});
    List232->setRootIsDecorated(false);
    List232->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    connect(List232, &QTreeWidget::itemSelectionChanged, this, &TportSelect::updateChooseButton);
    connect(List232, &QTreeWidget::itemDoubleClicked, this, &TportSelect::Button1Click);
    // A double click on an empty part of the list also closes with OK.
    List232->viewport()->installEventFilter(this);

    typedPath = new QLineEdit;
    typedPath->setObjectName(QStringLiteral("typedPath"));
    typedPath->setPlaceholderText(QStringLiteral("например /dev/ttyUSB0 или COM3"));
    connect(typedPath, &QLineEdit::textChanged, this, [this] {
        if (!typedPath->text().trimmed().isEmpty())
            List232->clearSelection();
        updateChooseButton();
    });
    auto *typedRow = new QHBoxLayout;
    typedRow->addWidget(new QLabel(QStringLiteral("Другой порт:")));
    typedRow->addWidget(typedPath, 1);

    Enum = new QPushButton(QStringLiteral("Поиск портов"));
    Button1 = new QPushButton(QStringLiteral("Выбрать порт"));
    spSkinButton3 = new QPushButton(QStringLiteral("Отмена"));
    Button1->setDefault(true);
    connect(Enum, &QPushButton::clicked, this, &TportSelect::EnumClick);
    connect(Button1, &QPushButton::clicked, this, &TportSelect::Button1Click);
    connect(spSkinButton3, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Enum);
    buttons->addWidget(Button1, 1);
    buttons->addWidget(spSkinButton3);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(head);
    layout->addWidget(List232, 1);
    layout->addLayout(typedRow);
    layout->addLayout(buttons);
    EnumClick();
}

void TportSelect::setChoice(const QString &path, const QString &friendly)
{
    path_ = path;
    friendly_ = friendly;
}

void TportSelect::EnumClick()
{
    List232->clear();
    const QList<PortEntry> entries = availablePorts();
    for (const PortEntry &e : entries)
        new QTreeWidgetItem(List232, {e.caption, e.path});
    const int chosen = preselectedPort(entries);
    if (chosen >= 0) {
        QTreeWidgetItem *item = List232->topLevelItem(chosen);
        List232->setCurrentItem(item);
        List232->scrollToItem(item);
    }
    updateChooseButton();
}

void TportSelect::Button1Click()
{
    const QString typed = typedPath->text().trimmed();
    const QList<QTreeWidgetItem *> selected = List232->selectedItems();
    if (!typed.isEmpty()) {
        path_ = typed;
        friendly_ = typed;
    } else if (!selected.isEmpty()) {
        path_ = selected.first()->text(1);
        friendly_ = selected.first()->text(0);
    }
    accept();
}

void TportSelect::updateChooseButton()
{
    Button1->setEnabled(!List232->selectedItems().isEmpty() || !typedPath->text().trimmed().isEmpty());
}

void TportSelect::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    head->setMinimumHeight(head->heightForWidth(head->width()));
}

bool TportSelect::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == List232->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (!List232->itemAt(mouse->position().toPoint())) {
            List232->clearSelection();
            typedPath->clear();
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
