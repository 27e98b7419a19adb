#include <QtTest>
#include <QLabel>
#include <QTreeWidget>

#include "link/cp1251.h"
#include "link/operatorui.h"
#include "rulescript.h"
#include "tasks/cabinettabs.h"
#include "tasks/rolluppanel.h"

namespace {

QByteArray cp(const QString &text)
{
    return cp1251::encode(text);
}

const QByteArray library = cp(QStringLiteral("Бройлер - 02 д. 18 час.\r\n  02 д. 00 час., \t37.5°C 55%\r\n"
                                             "  00 д. 18 час., \t37.0°C 70%\r\nУтка - 01 д. 00 час.\r\n"
                                             "  01 д. 00 час., \t37.8°C 60%\r\n"));
const QByteArray broilerTask = cp(QStringLiteral("Бройлер - 02 д. 18 час., \t11.07.2008 10:00 \t14.07.2008 04:00\r\n"
                                                 "  02 д. 00 час., \t37.5°C 55%, \t11.07.2008 10:00 \t13.07.2008 10:00\r\n"
                                                 "  00 д. 18 час., \t37.0°C 70%, \t13.07.2008 10:00 \t14.07.2008 04:00\r\n"));

QStringList column(QTreeWidget *view, int c)
{
    QStringList texts;
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        texts << view->topLevelItem(i)->text(c);
    return texts;
}

int tealPixels(const QImage &image, const QRect &rect)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom() && y < image.height(); ++y) {
        for (int x = rect.left(); x <= rect.right() && x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() < 70 && c.green() > 90 && c.blue() > 90 && qAbs(c.green() - c.blue()) < 30)
                ++count;
        }
    }
    return count;
}

}  // namespace

class TestTRule : public QObject
{
    Q_OBJECT
private slots:
    void whatCouldNotBeReadIsToldOnceAtStart();
    void withoutCabinetsThePanelIsRolledUp();
    void cabinetNumbersOutside1To63AreRefused_data();
    void cabinetNumbersOutside1To63AreRefused();
    void theSelectedRowDecidesTheTaskButtons();
    void profileRowsAreTealAndStageRowsPlain();
    void closingAndReopeningKeepsTheStateAndSavesTheTask();
    void deletingACabinetRemovesItsTaskForGood();
    void aProfileIsPlacedOnTheCalendarAndOverlapsAreWarned();
    void changingAStageMarksTheProfileOnce();
    void changingAProfileStartMovesItsStages();
    void theLibraryIsEditedThroughItsDialogs();
    void theStageDialogRefusesBadValuesAndKeepsACommaInTheTemperature();
    void theAddProfileDialogNeedsAProfileUnlessTheListIsHidden();
    void buildingTheTaskFileOffersTheUpload();
    void aTaskFileThatCannotBeWrittenIsReportedAndNothingOffered();
    void theEndOfTheProgramWritesTheLibraryAndTheCabinetList();
};

void TestTRule::whatCouldNotBeReadIsToldOnceAtStart()
{
    DataFixture data;
    data.write("profiles.txt", library);
    data.write("bus.txt", cp(QStringLiteral("3\r\nабв\r\n")));
    ScriptedOperator ui;
    TRule rule(ui, TaskDataFolder(data.data()));
    QCOMPARE(ui.messages.size(), 1);
    QVERIFY(ui.messages[0].contains("«абв»"));
    QCOMPARE(rule.BUS->numbers(), QList<int>{3});
    QCOMPARE(rule.BoxLabel->text(), QStringLiteral("Задание шкафа №3"));
    QCOMPARE(rule.prf1->topLevelItemCount(), 2);
}

void TestTRule::withoutCabinetsThePanelIsRolledUp()
{
    DataFixture data;
    data.write("profiles.txt", "");
    data.write("bus.txt", "");
    ScriptedOperator ui;
    TRule rule(ui, TaskDataFolder(data.data()));
    DialogScript script;
    script.attach(rule);
    QVERIFY(ui.messages.isEmpty());
    QVERIFY(rule.cabinetsPanel->isRolledUp());
    QVERIFY(!rule.boxDel->isEnabled());
    QVERIFY(rule.spSkinSpeedButton1->isEnabled());
    QVERIFY(rule.add->isEnabled());

    script.answers = QStringList{"5", " 2 "};
    rule.spSkinButton1Click();
    QVERIFY(!rule.cabinetsPanel->isRolledUp());
    QVERIFY(rule.boxDel->isEnabled());
    rule.spSkinButton1Click();
    QCOMPARE(rule.BUS->numbers(), (QList<int>{2, 5}));
    QCOMPARE(rule.BUS->tabText(0), QStringLiteral("2"));
    QCOMPARE(rule.BoxLabel->text(), QStringLiteral("Задание шкафа №2"));
    QCOMPARE(script.captions, (QStringList{"Добавить шкаф", "Добавить шкаф"}));
}

void TestTRule::cabinetNumbersOutside1To63AreRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("0") << "0" << "Номер шкафа должен быть от 1 до 63!";
    QTest::newRow("64") << "64" << "Номер шкафа должен быть от 1 до 63!";
    QTest::newRow("-1") << "-1" << "Номер шкафа должен быть от 1 до 63!";
    QTest::newRow("not a number") << "седьмой" << "Неверное число: «седьмой»";
}

void TestTRule::cabinetNumbersOutside1To63AreRefused()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);
    DataFixture data;
    ScriptedOperator ui;
    TRule rule(ui, TaskDataFolder(data.data()));
    ui.messages.clear();
    DialogScript script;
    script.attach(rule);
    script.answers = QStringList{typed};
    rule.spSkinButton1Click();
    QCOMPARE(ui.messages, QStringList{message});
    QCOMPARE(rule.BUS->count(), 0);
    QVERIFY(rule.cabinetsPanel->isRolledUp());
}

void TestTRule::theSelectedRowDecidesTheTaskButtons()
{
    DataFixture data;
    data.write("profiles.txt", library);
    data.write("bus.txt", "1\r\n");
    data.write("1.txt", broilerTask);
    ScriptedOperator ui;
    TRule rule(ui, TaskDataFolder(data.data()));
    QCOMPARE(rule.rule1->topLevelItemCount(), 3);
    QVERIFY(!rule.del->isEnabled());
    QVERIFY(!rule.ruleAdd1->isEnabled());

    rule.selectTaskLine(2);
    rule.rule1Click();
    QVERIFY(rule.ruleEdit1->isEnabled());
    QVERIFY(rule.ruleDel1->isEnabled());
    QVERIFY(!rule.start->isEnabled());
    QVERIFY(rule.del->isEnabled() && rule.ruleAdd1->isEnabled());

    rule.selectTaskLine(0);
    rule.rule1Click();
    QVERIFY(!rule.ruleEdit1->isEnabled());
    QVERIFY(!rule.ruleDel1->isEnabled());
    QVERIFY(rule.start->isEnabled());

    QVERIFY(!rule.prfAdd->isEnabled());
    rule.selectProfileLine(0);
    rule.prf1Click();
    QVERIFY(rule.prfAdd->isEnabled() && rule.prfDel->isEnabled() && rule.editPrf->isEnabled());
}

void TestTRule::profileRowsAreTealAndStageRowsPlain()
{
    DataFixture data;
    data.write("bus.txt", "1\r\n");
    data.write("1.txt", broilerTask);
    ScriptedOperator ui;
    TRule rule(ui, TaskDataFolder(data.data()));
    rule.resize(1200, 600);
    rule.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rule));
    const QImage image = rule.rule1->viewport()->grab().toImage();
    const QRect profileRow = rule.rule1->visualItemRect(rule.rule1->topLevelItem(0));
    const QRect stageRow = rule.rule1->visualItemRect(rule.rule1->topLevelItem(1));
    QVERIFY(tealPixels(image, profileRow) > 20);
    QCOMPARE(tealPixels(image, stageRow), 0);
}

void TestTRule::closingAndReopeningKeepsTheStateAndSavesTheTask()
{
    DataFixture data;
    data.write("profiles.txt", library);
    data.write("bus.txt", "1\r\n2\r\n");
    data.write("2.txt", broilerTask);
    ScriptedOperator ui;
    TRule rule(ui, TaskDataFolder(data.data()));
    DialogScript script;
    script.attach(rule);
    rule.show();
    rule.BUS->setCurrentIndex(1);
    rule.selectTaskLine(0);
    script.runs = {DialogScript::stage(1, 0, "36.5", "40")};
    rule.ruleAdd1Click();
    rule.selectProfileLine(3);
    rule.selectTaskLine(1);

    QVERIFY(rule.close());
    QVERIFY(!rule.isVisible());
    QVERIFY(data.read("2.txt").contains(cp(QStringLiteral("  01 д. 00 час., \t36.5°C 40%, \t11.07.2008 10:00 \t12.07.2008 10:00"))));

    rule.show();
    QCOMPARE(rule.BUS->currentIndex(), 1);
    QCOMPARE(rule.BoxLabel->text(), QStringLiteral("Задание шкафа №2"));
    QCOMPARE(column(rule.rule1, 0), (QStringList{"*Бройлер", "", "", ""}));
    QCOMPARE(column(rule.rule1, 4).last(), QStringLiteral("15.07.2008 04:00"));
    QCOMPARE(rule.selectedProfileLine(), 3);
    QCOMPARE(rule.selectedTaskLine(), 1);
    QVERIFY(rule.ruleEdit1->isEnabled());
}

void TestTRule::deletingACabinetRemovesItsTaskForGood()
{
    DataFixture data;
    data.write("bus.txt", "5\r\n");
    data.write("5.txt", broilerTask);
    ScriptedOperator ui;
    TRule rule(ui, TaskDataFolder(data.data()));
    DialogScript script;
    script.attach(rule);

    ui.answer = false;
    rule.boxDelClick();
    QCOMPARE(ui.questions, QStringList{"Удалить шкаф №5"});
    QCOMPARE(rule.BUS->count(), 1);

    ui.answer = true;
    rule.boxDelClick();
    QCOMPARE(rule.BUS->count(), 0);
    QVERIFY(!QFile::exists(data.path("5.txt")));
    QVERIFY(rule.cabinetsPanel->isRolledUp());
    QVERIFY(!rule.boxDel->isEnabled());

    script.answers = QStringList{"5"};
    rule.spSkinButton1Click();
    QCOMPARE(rule.rule1->topLevelItemCount(), 0);
}

void TestTRule::aProfileIsPlacedOnTheCalendarAndOverlapsAreWarned()
{
    DataFixture data;
    data.write("profiles.txt", library);
    data.write("bus.txt", "1\r\n");
    ScriptedOperator ui;
    TRule rule(ui, TaskDataFolder(data.data()));
    DialogScript script;
    script.attach(rule);

    script.runs = {DialogScript::start(0, QDate(2008, 7, 11), 10)};
    rule.spSkinButton6Click();
    QCOMPARE(rule.addRule->prf->count(), 2);
    QCOMPARE(rule.addRule->prf->item(1)->text(), QStringLiteral("Утка - 01 д. 00 час."));
    QCOMPARE(column(rule.rule1, 3), (QStringList{"11.07.2008 10:00", "11.07.2008 10:00", "13.07.2008 10:00"}));
    QCOMPARE(column(rule.rule1, 4), (QStringList{"14.07.2008 04:00", "13.07.2008 10:00", "14.07.2008 04:00"}));
    QCOMPARE(column(rule.rule1, 2)[1], QStringLiteral("37.5°C 55%"));
    QVERIFY(ui.messages.isEmpty());

    // One hour after the first one ends: no warning.
    script.runs = {DialogScript::start(1, QDate(2008, 7, 14), 5)};
    rule.spSkinButton6Click();
    QVERIFY(ui.messages.isEmpty());
    QCOMPARE(rule.rule1->topLevelItemCount(), 5);

    // Starting at the very hour the first one ends.
    script.runs = {DialogScript::start(1, QDate(2008, 7, 14), 4)};
    rule.spSkinButton6Click();
    QCOMPARE(ui.messages, QStringList{"Правила перерываются!"});
    QCOMPARE(rule.rule1->topLevelItemCount(), 7);
}

void TestTRule::changingAStageMarksTheProfileOnce()
{
    DataFixture data;
    data.write("profiles.txt", library);
    data.write("bus.txt", "1\r\n");
    data.write("1.txt", broilerTask);
    ScriptedOperator ui;
    TRule rule(ui, TaskDataFolder(data.data()));
    DialogScript script;
    script.attach(rule);

    for (int round = 0; round < 2; ++round) {
        rule.selectTaskLine(1);
        rule.rule1Click();
        script.runs = {DialogScript::stage(3, 0, "37,0", "50")};
        rule.ruleEdit1Click();
    }
    QCOMPARE(column(rule.rule1, 0)[0], QStringLiteral("*Бройлер"));
    QCOMPARE(column(rule.rule1, 1)[1], QStringLiteral("03 д. 00 час."));
    QCOMPARE(column(rule.rule1, 4)[2], QStringLiteral("15.07.2008 04:00"));
    QVERIFY(ui.messages.isEmpty());
}

void TestTRule::changingAProfileStartMovesItsStages()
{
    DataFixture data;
    data.write("bus.txt", "1\r\n");
    data.write("1.txt", broilerTask);
    ScriptedOperator ui;
    TRule rule(ui, TaskDataFolder(data.data()));
    DialogScript script;
    script.attach(rule);

    rule.selectTaskLine(0);
    script.runs = {[](QDialog &dialog) {
        auto &add = dynamic_cast<TaddRule &>(dialog);
        // Preset from the profile, with the profile list hidden.
        if (add.d->selectedDate() != QDate(2008, 7, 11) || add.h->value() != 10 || !add.prf->isHidden())
            return int(QDialog::Rejected);
        return DialogScript::start(-1, QDate(2008, 12, 31), 23)(dialog);
    }};
    rule.startClick();
    QCOMPARE(column(rule.rule1, 3), (QStringList{"31.12.2008 23:00", "31.12.2008 23:00", "02.01.2009 23:00"}));
    QVERIFY(!rule.addRule->prf->isHidden());
    QCOMPARE(column(rule.rule1, 0)[0], QStringLiteral("Бройлер"));
}

void TestTRule::theLibraryIsEditedThroughItsDialogs()
{
    DataFixture data;
    data.write("profiles.txt", library);
    ScriptedOperator ui;
    TRule rule(ui, TaskDataFolder(data.data()));
    DialogScript script;
    script.attach(rule);

    script.answers = QStringList{"Перепел японский"};
    rule.spSkinButton10Click();
    QCOMPARE(rule.selectedProfileLine(), 5);
    QCOMPARE(rule.prf1->topLevelItem(2)->text(0), QStringLiteral("Перепел - 00 д. 00 час."));

    script.runs = {DialogScript::stage(0, 20, "37.5", "55"), DialogScript::stage(0, 10, "37,5", "55")};
    rule.prfAddClick();
    QCOMPARE(rule.selectedProfileLine(), 6);
    rule.prfAddClick();
    QCOMPARE(rule.selectedProfileLine(), 7);
    QCOMPARE(rule.prf1->topLevelItem(2)->text(0), QStringLiteral("Перепел - 01 д. 06 час."));
    QCOMPARE(rule.prf1->topLevelItem(2)->child(0)->text(0), QStringLiteral("  00 д. 20 час., \t37.5°C 55%"));

    rule.selectProfileLine(5);
    script.answers = QStringList{"Перепел2"};
    rule.editPrfClick();
    QCOMPARE(rule.prf1->topLevelItem(2)->text(0), QStringLiteral("Перепел2 - 01 д. 06 час."));

    // A stage is preset from its line; cancelling changes nothing.
    rule.selectProfileLine(6);
    bool presetSeen = false;
    script.runs = {[&presetSeen](QDialog &dialog) {
        auto &stage = dynamic_cast<TAddPrf &>(dialog);
        presetSeen = stage.t->text() == QStringLiteral("37,5") && stage.hum->text() == QStringLiteral("55")
            && stage.h->value() == 20 && stage.d->value() == 0;
        return int(QDialog::Rejected);
    }};
    const auto before = rule.model().prf;
    rule.prfListBoxDblClick();
    QVERIFY(presetSeen);
    QCOMPARE(rule.model().prf, before);

    ui.answer = false;
    rule.prfDelClick();
    QCOMPARE(rule.model().prf, before);
    ui.answer = true;
    rule.prfDelClick();
    QCOMPARE(rule.prf1->topLevelItem(2)->text(0), QStringLiteral("Перепел2 - 00 д. 10 час."));
    QCOMPARE(rule.selectedProfileLine(), -1);
    QVERIFY(!rule.prfDel->isEnabled());

    // "Ут" begins the later "Утка": that one ends up selected.
    rule.selectProfileLine(0);
    script.answers = QStringList{"Ут"};
    rule.prfListBoxDblClick();
    QCOMPARE(rule.selectedProfileLine(), 3);
    QCOMPARE(rule.prf1->topLevelItem(0)->text(0), QStringLiteral("Ут - 02 д. 18 час."));

    rule.selectProfileLine(0);
    rule.prfDelClick();
    QCOMPARE(ui.questions, (QStringList{"Удалить выбранный этап инкубации?", "Удалить выбранный этап инкубации?",
                                        "Удалить выбранный профиль и все его этапы?"}));
    QCOMPARE(rule.prf1->topLevelItemCount(), 2);
    QCOMPARE(rule.prf1->topLevelItem(0)->text(0), QStringLiteral("Утка - 01 д. 00 час."));
}

void TestTRule::theStageDialogRefusesBadValuesAndKeepsACommaInTheTemperature()
{
    ScriptedOperator ui;
    TAddPrf stage(ui);
    QCOMPARE(stage.t->text(), QStringLiteral("37,0"));
    QCOMPARE(stage.hum->text(), QStringLiteral("20"));

    stage.t->setText("37.5");
    QCOMPARE(stage.t->text(), QStringLiteral("37,5"));
    stage.t->setCursorPosition(1);
    QTest::keyClick(stage.t, Qt::Key_Period);
    QCOMPARE(stage.t->text(), QStringLiteral("3,7,5"));
    QCOMPARE(stage.t->cursorPosition(), 2);

    stage.t->setText("abc");
    stage.okButton->click();
    QCOMPARE(ui.messages, QStringList{"Укажите период!"});
    QCOMPARE(stage.result(), int(QDialog::Rejected));

    stage.d->setValue(1);
    stage.t->setText("38,1");
    stage.okButton->click();
    stage.t->setText("38,0");
    stage.hum->setText("91");
    stage.okButton->click();
    QCOMPARE(ui.messages, (QStringList{"Укажите период!", "Неверная температура!", "Неверная влажность!"}));
    QCOMPARE(stage.result(), int(QDialog::Rejected));

    stage.hum->setText("90");
    stage.okButton->click();
    QCOMPARE(stage.result(), int(QDialog::Accepted));
    TLineFields f;
    stage.takeInto(f);
    QCOMPARE(f.Days, 1);
    QCOMPARE(f.Temperature, 38.0f);
    QCOMPARE(f.Humidity, 90);

    f.Temperature = 37.6f;
    stage.preset(f);
    QCOMPARE(stage.t->text(), QStringLiteral("37,6"));
}

void TestTRule::theAddProfileDialogNeedsAProfileUnlessTheListIsHidden()
{
    TaddRule add;
    QCOMPARE(add.d->firstDayOfWeek(), Qt::Monday);
    QCOMPARE(add.d->selectedDate(), QDate::currentDate());
    add.setProfiles({"А - 00 д. 00 час.", "Б - 00 д. 00 час."});
    add.FormActivate();
    QVERIFY(!add.ok->isEnabled());
    add.prf->setCurrentRow(1);
    QVERIFY(add.ok->isEnabled());
    QCOMPARE(add.selectedProfile(), 1);
    add.setProfiles({"В - 00 д. 00 час."});
    QVERIFY(!add.ok->isEnabled());
    add.setProfileListShown(false);
    QVERIFY(add.ok->isEnabled());
}

void TestTRule::buildingTheTaskFileOffersTheUpload()
{
    DataFixture data;
    data.write("bus.txt", "1\r\n");
    data.write("1.txt", broilerTask);
    ScriptedOperator ui;
    TRule rule(ui, TaskDataFolder(data.data()));
    QSignalSpy upload(&rule, &TRule::uploadRequested);
    rule.show();

    ui.answer = false;
    rule.spSkinSpeedButton1Click();
    QCOMPARE(ui.questions, QStringList{"Файл задания создан. Записать его в устройство?"});
    QCOMPARE(upload.count(), 0);
    QVERIFY(rule.isVisible());
    QCOMPARE(data.read("rule.bin").size(), 1 + 1 + 8 * 5 + 8 * 5);

    ui.answer = true;
    rule.spSkinSpeedButton1Click();
    QCOMPARE(upload.count(), 1);
    QCOMPARE(upload[0][0].toString(), data.path("rule.bin"));
    QVERIFY(!rule.isVisible());
}

void TestTRule::aTaskFileThatCannotBeWrittenIsReportedAndNothingOffered()
{
    DataFixture data;
    ScriptedOperator ui;
    TRule rule(ui, TaskDataFolder(data.data()));
    QSignalSpy upload(&rule, &TRule::uploadRequested);
    ui.messages.clear();
    QVERIFY(QDir(data.data()).mkdir("rule.bin"));
    ui.answer = true;
    rule.spSkinSpeedButton1Click();
    QCOMPARE(ui.messages.size(), 1);
    QVERIFY(ui.messages[0].contains("rule.bin"));
    QVERIFY(ui.questions.isEmpty());
    QCOMPARE(upload.count(), 0);
}

void TestTRule::theEndOfTheProgramWritesTheLibraryAndTheCabinetList()
{
    DataFixture data;
    data.write("profiles.txt", library);
    {
        ScriptedOperator ui;
        TRule rule(ui, TaskDataFolder(data.data()));
        DialogScript script;
        script.attach(rule);
        script.answers = QStringList{"7", "3", "Индюк"};
        rule.spSkinButton1Click();
        rule.spSkinButton1Click();
        rule.spSkinButton10Click();
        rule.FormDestroy();
        rule.FormDestroy();  // once only
    }
    QCOMPARE(data.read("bus.txt"), QByteArray("3\r\n7\r\n"));
    QVERIFY(data.read("profiles.txt").endsWith(cp(QStringLiteral("Индюк - 00 д. 00 час.\r\n"))));
    QCOMPARE(data.read("3.txt"), QByteArray());
}

QTEST_MAIN(TestTRule)
#include "test_trule.moc"
