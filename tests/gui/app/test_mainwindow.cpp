#include <QtTest>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolButton>

#include "app/tform1.h"
#include "link/link.h"
#include "support/fakeport.h"

class TestMainWindow : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir settingsDir;

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, settingsDir.path() + "/system");
    }

    void theServicePageShowsOnlyWithTheServiceSwitch_data()
    {
        QTest::addColumn<bool>("serviceMode");
        QTest::newRow("with /kivo") << true;
        QTest::newRow("without") << false;
    }

    void theServicePageShowsOnlyWithTheServiceSwitch()
    {
        QFETCH(bool, serviceMode);
        TForm1 form(serviceMode);
        form.show();
        QTabWidget *pages = form.pages();
        QCOMPARE(pages->count(), 3);
        QCOMPARE(pages->tabText(0), QString("Файлы"));
        QCOMPARE(pages->tabText(1), QString("Настройка системы ZEV-GSM"));
        QCOMPARE(pages->tabText(2), QString("Настройки"));
        QCOMPARE(pages->currentIndex(), 0);
        QCOMPARE(pages->isTabVisible(2), serviceMode);
        QVERIFY(form.windowTitle().startsWith("Программа просмотра статистики инкубатора v"));
    }

    void linkEventsReachTheToolBarsAndTheStatusBar()
    {
        auto port = std::make_shared<FakePortState>();
        TForm1 form(true);
        Link link(fakePortFactory(port), form.operatorUi());
        link.setMeasurementLogPath(QString());
        form.overridePort({"/dev/ttyX", "COM9"});
        form.attachLink(&link);
        form.show();
        QTRY_COMPARE(link.state(), Link::Open);
        port->incoming = "%CARD:1\r\n%RULE:0\r\n%TIME:11.12.26 12:00\r\nstray line\r\n\x03\r\n";
        auto *card = form.findChild<QToolButton *>("card");
        auto *rule = form.findChild<QToolButton *>("rule");
        auto *time = form.findChild<QLineEdit *>("time");
        auto *terminal = form.findChild<QPlainTextEdit *>("Terminal");
        auto *gw = form.findChild<QLabel *>("gw");
        auto *status = form.findChild<QLabel *>("Status");
        QTRY_COMPARE(card->text(), QString("Карта SD установлена"));
        QCOMPARE(rule->text(), QString("Нет задания!"));
        QCOMPARE(time->text(), QString("11.12.26 12:00"));
        QVERIFY(terminal->toPlainText().contains("stray line"));
        QVERIFY(gw->isVisible());
        QCOMPARE(status->text(), QString("COM9: 460800 bps"));
        form.gwClick();
        QVERIFY(!gw->isVisible());
        QVERIFY(!link.gsmTalking());
        link.setClosing();
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
