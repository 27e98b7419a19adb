#include "trule.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "link/cp1251.h"
#include "link/operatorui.h"
#include "tasks/cabinettabs.h"
#include "tasks/cabinettask.h"
#include "tasks/profilelibrary.h"
#include "tasks/rolluppanel.h"
#include "tasks/taddprf.h"
#include "tasks/taddrule.h"

namespace {

constexpr int LineRole = Qt::UserRole;
constexpr int LibraryWidth = 400;  // room for a stage line at first

enum TaskColumn { ProfileColumn, IntervalColumn, SetpointColumn, StartColumn, EndColumn };

// Profile rows (those with a caption) in teal and bold; stage rows plain.
class TaskRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!index.siblingAtColumn(ProfileColumn).data().toString().isEmpty()) {
            option->font.setBold(true);
            option->palette.setColor(QPalette::Text, QColor(0, 128, 128));
        }
    }
};

QIcon standardIcon(QStyle::StandardPixmap which)
{
    return QApplication::style()->standardIcon(which);
}

QPushButton *iconButton(const QString &text, QStyle::StandardPixmap icon, QWidget *parent)
{
    auto *button = new QPushButton(standardIcon(icon), text, parent);
    return button;
}

}  // namespace

TRule::TRule(OperatorUi &ui, TaskDataFolder folder, QWidget *parent)
    : QMainWindow(parent), m_ui(ui), m_model(std::move(folder))
{
    dialogs.inputText = [this](const QString &caption, const QString &prompt, QString &text) {
        QInputDialog box(this);
        box.setWindowTitle(caption);
        box.setLabelText(prompt);
        box.setTextValue(text);
        box.setOkButtonText(QStringLiteral("OK"));
        box.setCancelButtonText(QStringLiteral("Отмена"));
        if (box.exec() != QDialog::Accepted)
            return false;
        text = box.textValue();
        return true;
    };
    dialogs.exec = [](QDialog &dialog) { return dialog.exec(); };
    buildControls();
    FormCreate();
}

TRule::~TRule()
{
    FormDestroy();
}

void TRule::buildControls()
{
    setWindowTitle(QStringLiteral("Редактор заданий"));
    AddPrf = new TAddPrf(m_ui, this);
    addRule = new TaddRule(this);

    auto *tools = addToolBar(QStringLiteral("Задание"));
    tools->setMovable(false);
    tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    spSkinSpeedButton1 = tools->addAction(standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("Создать файл задания"));
    tools->addSeparator();
    spSkinSpeedButton2 = tools->addAction(standardIcon(QStyle::SP_FileDialogNewFolder), QStringLiteral("Добавить шкаф"));
    boxDel = tools->addAction(standardIcon(QStyle::SP_TrashIcon), QStringLiteral("Удалить шкаф"));
    tools->addSeparator();
    spSkinSpeedButton3 = tools->addAction(standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("Закрыть"));
    connect(spSkinSpeedButton1, &QAction::triggered, this, &TRule::spSkinSpeedButton1Click);
    connect(spSkinSpeedButton2, &QAction::triggered, this, &TRule::spSkinButton1Click);
    connect(boxDel, &QAction::triggered, this, &TRule::boxDelClick);
    connect(spSkinSpeedButton3, &QAction::triggered, this, &TRule::spSkinSpeedButton3Click);

    // The library on the right.
    auto *library = new QWidget;
    prf1 = new QTreeWidget(library);
    prf1->setHeaderHidden(true);
    // Lines are shown whole; a narrow panel scrolls sideways instead of cutting them.
    prf1->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    prf1->header()->setStretchLastSection(false);
    prf1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    prf1->setSelectionBehavior(QAbstractItemView::SelectRows);
    prf1->setAllColumnsShowFocus(true);
    prf1->setAutoExpandDelay(0);
    prfAdd = iconButton(QStringLiteral("Добавить этап"), QStyle::SP_FileIcon, library);
    prfDel = iconButton(QStringLiteral("Удалить"), QStyle::SP_TrashIcon, library);
    spSkinButton10 = iconButton(QStringLiteral("Новый профиль"), QStyle::SP_DirIcon, library);
    editPrf = iconButton(QStringLiteral("Изменить"), QStyle::SP_FileDialogDetailedView, library);
    auto *libraryButtons = new QGridLayout;
    libraryButtons->addWidget(prfAdd, 0, 0);
    libraryButtons->addWidget(prfDel, 0, 1);
    libraryButtons->addWidget(spSkinButton10, 1, 0);
    libraryButtons->addWidget(editPrf, 1, 1);
    auto *libraryLayout = new QVBoxLayout(library);
    libraryLayout->setContentsMargins(4, 4, 4, 4);
    libraryLayout->addWidget(prf1, 1);
    libraryLayout->addLayout(libraryButtons);
    profilesPanel = new RollUpPanel(QStringLiteral("Профили"), RollUpPanel::Direction::Sideways);
    profilesPanel->setContent(library);
    connect(prf1, &QTreeWidget::itemClicked, this, &TRule::prf1Click);
    connect(prf1, &QTreeWidget::itemDoubleClicked, this, &TRule::prfListBoxDblClick);
    connect(prf1, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (auto *item = prf1->currentItem(); item && item->isSelected())
            item->setExpanded(true);
    });
    connect(prfAdd, &QPushButton::clicked, this, &TRule::prfAddClick);
    connect(prfDel, &QPushButton::clicked, this, &TRule::prfDelClick);
    connect(spSkinButton10, &QPushButton::clicked, this, &TRule::spSkinButton10Click);
    connect(editPrf, &QPushButton::clicked, this, &TRule::editPrfClick);

    // The cabinets and the shown task.
    auto *cabinetsArea = new QWidget;
    BUS = new CabinetTabs(cabinetsArea);
    auto *page = new QFrame(cabinetsArea);
    page->setFrameShape(QFrame::StyledPanel);
    BoxLabel = new QLabel(QStringLiteral("Задание шкафа №"), page);
    QFont labelFont = BoxLabel->font();
    labelFont.setBold(true);
    labelFont.setPointSizeF(labelFont.pointSizeF() * 1.2);
    BoxLabel->setFont(labelFont);
    add = iconButton(QStringLiteral("Добавить профиль в задание"), QStyle::SP_FileDialogListView, page);
    del = iconButton(QStringLiteral("Удалить задание"), QStyle::SP_TrashIcon, page);
    ruleEdit1 = iconButton(QStringLiteral("Изменить этап"), QStyle::SP_FileDialogDetailedView, page);
    ruleDel1 = iconButton(QStringLiteral("Удалить этап"), QStyle::SP_DialogDiscardButton, page);
    ruleAdd1 = iconButton(QStringLiteral("Добавить этап"), QStyle::SP_FileIcon, page);
    start = iconButton(QStringLiteral("Изменить дату/время"), QStyle::SP_BrowserReload, page);
    rule1 = new QTreeWidget(page);
    rule1->setColumnCount(5);
    rule1->setHeaderLabels({QStringLiteral("Профиль"), QStringLiteral("Интервал"), QStringLiteral("Задание"),
                            QStringLiteral("Начало"), QStringLiteral("Окончание")});
    rule1->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    rule1->header()->setStretchLastSection(false);
    rule1->setRootIsDecorated(false);
    rule1->setUniformRowHeights(true);
    rule1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rule1->setSelectionBehavior(QAbstractItemView::SelectRows);
    rule1->setSelectionMode(QAbstractItemView::SingleSelection);
    rule1->setAllColumnsShowFocus(true);
    rule1->setMouseTracking(true);
    rule1->viewport()->setCursor(Qt::PointingHandCursor);
    rule1->setItemDelegate(new TaskRowDelegate(rule1));
    auto *taskButtons = new QHBoxLayout;
    for (auto *button : {add, del, ruleEdit1, ruleDel1, ruleAdd1, start})
        taskButtons->addWidget(button);
    taskButtons->addStretch();
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(BoxLabel);
    pageLayout->addLayout(taskButtons);
    pageLayout->addWidget(rule1, 1);
    auto *areaLayout = new QVBoxLayout(cabinetsArea);
    areaLayout->setContentsMargins(4, 4, 4, 4);
    areaLayout->setSpacing(0);
    areaLayout->addWidget(BUS);
    areaLayout->addWidget(page, 1);
    cabinetsPanel = new RollUpPanel(QStringLiteral("Шкафы"), RollUpPanel::Direction::Up);
    cabinetsPanel->setRollButtonVisible(false);
    cabinetsPanel->setContent(cabinetsArea);
    connect(BUS, &CabinetTabs::currentChanged, this, &TRule::BUSChange);
    connect(add, &QPushButton::clicked, this, &TRule::spSkinButton6Click);
    connect(del, &QPushButton::clicked, this, &TRule::delClick);
    connect(ruleEdit1, &QPushButton::clicked, this, &TRule::ruleEdit1Click);
    connect(ruleDel1, &QPushButton::clicked, this, &TRule::ruleDel1Click);
    connect(ruleAdd1, &QPushButton::clicked, this, &TRule::ruleAdd1Click);
    connect(start, &QPushButton::clicked, this, &TRule::startClick);
    connect(rule1, &QTreeWidget::itemClicked, this, &TRule::rule1Click);
    connect(rule1, &QTreeWidget::itemDoubleClicked, this, &TRule::rule1DblClick);

    auto *cabinetsColumn = new QWidget;
    auto *columnLayout = new QVBoxLayout(cabinetsColumn);
    columnLayout->setContentsMargins(0, 0, 0, 0);
    columnLayout->addWidget(cabinetsPanel);
    columnLayout->addStretch();  // takes the room while the panel is rolled up
    connect(cabinetsPanel, &RollUpPanel::rolledUpChanged, columnLayout, [columnLayout](bool rolledUp) {
        columnLayout->setStretch(0, rolledUp ? 0 : 1);
        columnLayout->setStretch(1, rolledUp ? 1 : 0);
    });
    columnLayout->setStretch(0, 1);

    splitter = new QSplitter(Qt::Horizontal);
    splitter->setOpaqueResize(true);
    splitter->addWidget(cabinetsColumn);
    splitter->addWidget(profilesPanel);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setCollapsible(0, false);
    splitter->setCollapsible(1, false);
    setCentralWidget(splitter);
    statusBar();
}

void TRule::FormCreate()
{
    const QString problems = m_model.load();
    if (!problems.isEmpty())
        m_ui.message(problems, QStringLiteral("Ошибка"), OperatorUi::Icon::Warning);
    BUS->setNumbers(m_model.loadedTabs());
    BUSChange();
    RefreshProfiles({});
    if (const QScreen *screen = QApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        resize(area.width(), qMin(area.height(), 700));
        move(area.left(), area.top());
    }
    splitter->setSizes({width() - LibraryWidth, LibraryWidth});
}

void TRule::FormDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    BUSChange();
    m_model.CurrentCabinet = -1;
    const QStringList errors = m_model.saveAtExit(BUS->numbers());
    for (const auto &error : errors)
        report(error);
}

void TRule::closeEvent(QCloseEvent *event)
{
    // Saving rebuilds the task view; the window is to open again as it was left.
    const int row = selectedTaskLine();
    BUSChange();
    if (row >= 0) {
        selectTaskLine(row);
        UpdateButtons();
    }
    event->accept();
}

void TRule::report(const QString &error)
{
    m_ui.message(error, QStringLiteral("Ошибка"), OperatorUi::Icon::Warning);
}

int TRule::selectedProfileLine() const
{
    const auto items = prf1->selectedItems();
    return items.isEmpty() ? -1 : items.first()->data(0, LineRole).toInt();
}

int TRule::selectedTaskLine() const
{
    const auto items = rule1->selectedItems();
    return items.isEmpty() ? -1 : rule1->indexOfTopLevelItem(items.first());
}

void TRule::selectProfileLine(int line)
{
    QTreeWidgetItemIterator it(prf1);
    for (; *it; ++it) {
        if ((*it)->data(0, LineRole).toInt() == line) {
            prf1->setCurrentItem(*it);
            (*it)->setSelected(true);
            return;
        }
    }
}

void TRule::selectTaskLine(int line)
{
    if (auto *item = rule1->topLevelItem(line)) {
        rule1->setCurrentItem(item);
        item->setSelected(true);
    }
}

// ---- Profile library

void TRule::RefreshProfiles(const QByteArray &key)
{
    auto &prf = m_model.prf;
    profiles::refreshTotals(prf, m_model.fields);

    prf1->clear();
    QTreeWidgetItem *profile = nullptr;
    for (int i = 0; i < prf.size(); ++i) {
        QTreeWidgetItem *item = nullptr;
        if (!isStageLine(prf[i])) {
            item = profile = new QTreeWidgetItem(prf1);
            item->setIcon(0, standardIcon(QStyle::SP_DirIcon));
        } else {
            // A stage before the first header stays visible on its own.
            item = profile ? new QTreeWidgetItem(profile) : new QTreeWidgetItem(prf1);
            item->setIcon(0, standardIcon(QStyle::SP_FileIcon));
        }
        item->setText(0, cp1251::decode(prf[i]));
        item->setData(0, LineRole, i);
    }
    prf1->clearSelection();
    prf1->setCurrentItem(nullptr);
    const int selected = profiles::lineForKey(prf, key);
    if (selected >= 0)
        selectProfileLine(selected);
    UpdateButtons();
}

bool TRule::nameFromAnswer(const QString &answer, QByteArray *name)
{
    const QString trimmed = answer.trimmed();
    if (trimmed.isEmpty())
        return false;
    bool ok = false;
    *name = cp1251::encode(trimmed, &ok);
    if (!ok) {
        m_ui.message(QStringLiteral("Имя профиля содержит знаки, которых нет в кодировке файлов (1251)."),
                     QStringLiteral("Ошибка"), OperatorUi::Icon::Error);
        return false;
    }
    return true;
}

void TRule::spSkinButton10Click()
{
    QString answer;
    QByteArray name;
    if (!dialogs.inputText(QStringLiteral("Новый профиль"), QStringLiteral("Введите имя профиля"), answer)
        || !nameFromAnswer(answer, &name))
        return;
    RefreshProfiles(profiles::newProfile(m_model.prf, name));
}

void TRule::prfListBoxDblClick()
{
    const int line = selectedProfileLine();
    if (line < 0 || line >= m_model.prf.size())
        return;
    auto &f = m_model.fields;
    if (!isStageLine(m_model.prf[line])) {
        ParseProfileHeader(f, m_model.prf[line]);
        QString answer = cp1251::decode(f.Name);
        QByteArray name;
        if (!dialogs.inputText(QStringLiteral("Изменение названия профиля"), QStringLiteral("Введите имя профиля"), answer)
            || !nameFromAnswer(answer, &name))
            return;
        RefreshProfiles(profiles::renameProfile(m_model.prf, line, name));
        return;
    }
    ParseStage(f, m_model.prf[line]);
    AddPrf->preset(f);
    if (dialogs.exec(*AddPrf) != QDialog::Accepted)
        return;
    AddPrf->takeInto(f);
    RefreshProfiles(profiles::replaceStage(m_model.prf, line, f));
    selectProfileLine(line);
    UpdateButtons();
}

void TRule::editPrfClick()
{
    prfListBoxDblClick();
}

void TRule::prfAddClick()
{
    const int line = selectedProfileLine();
    if (line < 0)
        return;
    if (dialogs.exec(*AddPrf) != QDialog::Accepted)
        return;
    AddPrf->takeInto(m_model.fields);
    RefreshProfiles(profiles::insertStage(m_model.prf, line + 1, m_model.fields));
    // The new stage, even when an equal one further down matched the key.
    selectProfileLine(line + 1);
    UpdateButtons();
}

void TRule::prfDelClick()
{
    const int line = selectedProfileLine();
    if (line < 0 || line >= m_model.prf.size())
        return;
    const bool yes = isStageLine(m_model.prf[line])
        ? m_ui.ask(QStringLiteral("Удалить выбранный этап инкубации?"), QStringLiteral("Удалить этап?"), OperatorUi::Icon::Warning)
        : m_ui.ask(QStringLiteral("Удалить выбранный профиль и все его этапы?"), QStringLiteral("Удалить профиль?"),
                   OperatorUi::Icon::Warning);
    if (!yes)
        return;
    profiles::removeAt(m_model.prf, line);
    RefreshProfiles({});
}

void TRule::prf1Click()
{
    if (auto *item = prf1->currentItem(); item && item->isSelected()) {
        item->setExpanded(true);
        for (int i = 0; i < item->childCount(); ++i)
            item->child(i)->setExpanded(true);
    }
    UpdateButtons();
}

// ---- Cabinets and their tasks

void TRule::UpdateButtons()
{
    const bool node = selectedProfileLine() >= 0;
    prfAdd->setEnabled(node);
    prfDel->setEnabled(node);
    editPrf->setEnabled(node);

    boxDel->setEnabled(BUS->count() > 0);
    cabinetsPanel->setRolledUp(BUS->count() == 0);

    const int row = selectedTaskLine();
    const bool haveRow = row >= 0 && row < m_model.rule.size();
    const bool stage = haveRow && isStageLine(m_model.rule[row]);
    del->setEnabled(haveRow);
    ruleAdd1->setEnabled(haveRow);
    ruleEdit1->setEnabled(stage);
    ruleDel1->setEnabled(stage);
    start->setEnabled(haveRow && !stage);
}

void TRule::RecalcTask()
{
    const tasks::TaskLayout layout = tasks::RecalcTask(m_model.rule, m_model.fields);
    rule1->clear();
    QList<QTreeWidgetItem *> items;
    for (const auto &row : layout.rows) {
        auto *item = new QTreeWidgetItem;
        item->setText(ProfileColumn, cp1251::decode(row.caption));
        item->setText(IntervalColumn, cp1251::decode(row.interval));
        item->setText(SetpointColumn, cp1251::decode(row.setpoint));
        item->setText(StartColumn, cp1251::decode(row.start));
        item->setText(EndColumn, cp1251::decode(row.end));
        if (row.profile)
            item->setIcon(ProfileColumn, standardIcon(QStyle::SP_DirIcon));
        items.append(item);
    }
    rule1->addTopLevelItems(items);
    if (layout.overlap) {
        // The buttons keep their state until the next click.
        m_ui.message(QStringLiteral("Правила перерываются!"), QStringLiteral("Ошибка"), OperatorUi::Icon::Warning);
        return;
    }
    UpdateButtons();
}

void TRule::BUSChange()
{
    const int tab = BUS->currentIndex();
    if (tab >= 0) {
        const int number = BUS->number(tab);
        QString error;
        if (!m_model.showCabinet(number, &error))
            report(error);
        BoxLabel->setText(QStringLiteral("Задание шкафа №") + QString::number(number));
    }
    RecalcTask();
}

void TRule::rebuildTabs(int select)
{
    BUS->setNumbers(m_model.cabinets.ascending(), select);
}

void TRule::spSkinButton1Click()
{
    QString answer;
    if (dialogs.inputText(QStringLiteral("Добавить шкаф"), QStringLiteral("Введите номер"), answer)
        && !answer.trimmed().isEmpty()) {
        int number = 0;
        switch (parseCabinetNumber(answer, &number)) {
        case CabinetNumberCheck::NotANumber:
            m_ui.message(QStringLiteral("Неверное число: «%1»").arg(answer), QStringLiteral("Ошибка"), OperatorUi::Icon::Error);
            break;
        case CabinetNumberCheck::OutOfRange:
            m_ui.message(QStringLiteral("Номер шкафа должен быть от %1 до %2!").arg(FirstCabinet).arg(LastCabinet),
                         QStringLiteral("Ошибка"), OperatorUi::Icon::Warning);
            break;
        case CabinetNumberCheck::Ok:
            m_model.cabinets.setPresent(number, true);
            rebuildTabs(number);
            BUSChange();
            break;
        }
    }
    UpdateButtons();
}

void TRule::boxDelClick()
{
    const int tab = BUS->currentIndex();
    if (tab >= 0) {
        const int number = BUS->number(tab);
        if (m_ui.ask(QStringLiteral("Удалить шкаф №") + QString::number(number), QStringLiteral("Удалить шкаф?"),
                     OperatorUi::Icon::Warning)) {
            BUSChange();
            m_model.dropShownCabinet();  // nothing of it may be saved over another cabinet's file
            m_model.cabinets.setPresent(number, false);
            QString error;
            if (!m_model.deleteCabinetTask(number, &error))
                report(error);
            rebuildTabs(-1);
            BUSChange();
        }
    }
    UpdateButtons();
}

void TRule::spSkinSpeedButton1Click()
{
    BUSChange();
    QString path;
    QString error;
    if (!m_model.buildTaskFile(BUS->numbers(), &path, &error)) {
        report(error);
        return;
    }
    if (m_ui.ask(QStringLiteral("Файл задания создан. Записать его в устройство?"), QStringLiteral("Записать задание?"),
                 OperatorUi::Icon::Warning)) {
        close();
        emit uploadRequested(path);
    }
}

void TRule::spSkinSpeedButton3Click()
{
    close();
}

void TRule::spSkinButton6Click()
{
    if (m_model.CurrentCabinet == -1)
        return;
    QStringList headers;
    QList<int> headerLines;
    for (int i = 0; i < m_model.prf.size(); ++i) {
        if (!isStageLine(m_model.prf[i])) {
            headers << cp1251::decode(m_model.prf[i]);
            headerLines << i;
        }
    }
    addRule->setProfiles(headers);
    if (dialogs.exec(*addRule) == QDialog::Accepted) {
        const int chosen = addRule->selectedProfile();
        if (chosen >= 0 && chosen < headerLines.size()) {
            tasks::appendProfile(m_model.rule, m_model.fields, m_model.prf, headerLines[chosen],
                                 CalendarHour::fromDate(addRule->startDate(), addRule->startHour()));
        }
    }
    RecalcTask();
}

void TRule::rule1DblClick()
{
    const int line = selectedTaskLine();
    if (line < 0 || line >= m_model.rule.size())
        return;
    auto &f = m_model.fields;
    if (isStageLine(m_model.rule[line])) {
        ParseTaskStage(f, m_model.rule[line]);
        AddPrf->preset(f);
        if (dialogs.exec(*AddPrf) == QDialog::Accepted) {
            AddPrf->takeInto(f);
            tasks::replaceStage(m_model.rule, line, f);
            RecalcTask();
        }
        return;
    }
    ParseTaskHeader(f, m_model.rule[line]);
    addRule->setProfileListShown(false);
    addRule->preset(f.Start.date(), f.Start.hour());
    if (dialogs.exec(*addRule) == QDialog::Accepted) {
        tasks::changeStart(m_model.rule, line, f, CalendarHour::fromDate(addRule->startDate(), addRule->startHour()));
    }
    addRule->setProfileListShown(true);
    RecalcTask();
}

void TRule::ruleEdit1Click()
{
    rule1DblClick();
}

void TRule::startClick()
{
    rule1DblClick();
}

void TRule::ruleAdd1Click()
{
    const int line = selectedTaskLine();
    if (line >= 0 && dialogs.exec(*AddPrf) == QDialog::Accepted) {
        AddPrf->takeInto(m_model.fields);
        tasks::insertStageAfter(m_model.rule, line, m_model.fields);
    }
    RecalcTask();
    UpdateButtons();
}

void TRule::ruleDel1Click()
{
    const int line = selectedTaskLine();
    if (!m_ui.ask(QStringLiteral("Удалить выбранный этап инкубации?"), QStringLiteral("Удалить этап?"),
                  OperatorUi::Icon::Warning))
        return;
    if (line >= 0 && line < m_model.rule.size() && isStageLine(m_model.rule[line])) {
        tasks::removeStage(m_model.rule, line);
        RecalcTask();
        UpdateButtons();
    }
}

void TRule::delClick()
{
    const int line = selectedTaskLine();
    if (!m_ui.ask(QStringLiteral("Удалить выбранное задание инкубации и все его этапы?"), QStringLiteral("Удалить задание?"),
                  OperatorUi::Icon::Warning))
        return;
    tasks::removeProfile(m_model.rule, line);
    RecalcTask();
    UpdateButtons();
}

void TRule::rule1Click()
{
    UpdateButtons();
}
