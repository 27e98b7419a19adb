#pragma once
#include <QMainWindow>
#include <functional>

#include "tasks/taskeditormodel.h"

class CabinetTabs;
class OperatorUi;
class QAction;
class QDialog;
class QLabel;
class QPushButton;
class QSplitter;
class QTreeWidget;
class RollUpPanel;
class TAddPrf;
class TaddRule;

// The task editor "Редактор заданий": the profile library on the right, the
// cabinets' tasks in the main area, the task file build on the tool bar. Every
// handler works on the editor's model; questions and messages go through the
// operator interface, dialogs through TRuleDialogs so tests can answer them.
class TRule : public QMainWindow
{
    Q_OBJECT
public:
    struct Dialogs
    {
        // The one-line input box; false when cancelled.
        std::function<bool(const QString &caption, const QString &prompt, QString &text)> inputText;
        // Runs a modal dialog and gives its result code.
        std::function<int(QDialog &dialog)> exec;
    };

    // Loads the data files at once (FormCreate) and tells the operator, once,
    // what could not be read.
    TRule(OperatorUi &ui, TaskDataFolder folder = TaskDataFolder(), QWidget *parent = nullptr);
    // Runs FormDestroy unless that already happened. The operator interface
    // must outlive the window.
    ~TRule() override;

    // Program end: saves the shown task, the library and the cabinet list.
    void FormDestroy();

    TaskEditorModel &model() { return m_model; }
    Dialogs dialogs;

    // Controls, named as on the form.
    QTreeWidget *prf1;
    CabinetTabs *BUS;
    QTreeWidget *rule1;
    QLabel *BoxLabel;
    QAction *spSkinSpeedButton1;  // "Создать файл задания"
    QAction *spSkinSpeedButton2;  // "Добавить шкаф"
    QAction *boxDel;
    QAction *spSkinSpeedButton3;  // "Закрыть"
    QPushButton *prfAdd;
    QPushButton *prfDel;
    QPushButton *spSkinButton10;  // "Новый профиль"
    QPushButton *editPrf;
    QPushButton *add;  // "Добавить профиль в задание"
    QPushButton *del;
    QPushButton *ruleEdit1;
    QPushButton *ruleDel1;
    QPushButton *ruleAdd1;
    QPushButton *start;
    RollUpPanel *profilesPanel;
    RollUpPanel *cabinetsPanel;
    QSplitter *splitter;
    TAddPrf *AddPrf;
    TaddRule *addRule;

    // The selected line of prf (tree) and of rule (task view), or -1.
    int selectedProfileLine() const;
    int selectedTaskLine() const;
    void selectProfileLine(int line);
    void selectTaskLine(int line);

signals:
    // The task file is built and the operator wants it on the collector.
    void uploadRequested(const QString &path);

public slots:
    void RefreshProfiles(const QByteArray &key);
    void RecalcTask();
    void UpdateButtons();
    void BUSChange();

    void spSkinSpeedButton1Click();  // build the task file
    void spSkinButton1Click();       // add a cabinet
    void boxDelClick();
    void spSkinSpeedButton3Click();  // close

    void spSkinButton10Click();  // new profile
    void prfListBoxDblClick();   // rename a profile or edit a stage
    void editPrfClick();
    void prfAddClick();
    void prfDelClick();
    void prf1Click();

    void spSkinButton6Click();  // add a profile to the task
    void rule1DblClick();       // edit a task stage or a profile's start
    void ruleEdit1Click();
    void startClick();
    void ruleAdd1Click();
    void ruleDel1Click();
    void delClick();
    void rule1Click();

protected:
    void closeEvent(QCloseEvent *event) override;  // FormClose

private:
    void buildControls();
    void FormCreate();
    void rebuildTabs(int select);
    bool nameFromAnswer(const QString &answer, QByteArray *name);
    void report(const QString &error);

    OperatorUi &m_ui;
    TaskEditorModel m_model;
    bool m_destroyed = false;
};
