#include <QtTest>

#include "app/portsettings.h"
#include "app/windowgeometry.h"

class TestAppCore : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir userDir;
    QTemporaryDir systemDir;

    static void write(QSettings::Scope scope, const QString &key, const QVariant &value)
    {
        QSettings s(scope, "KIVO", "Incubator");
        s.setValue(key, value);
    }

private slots:
    void init()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, userDir.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, systemDir.path());
        QSettings(QSettings::UserScope, "KIVO", "Incubator").clear();
        QSettings(QSettings::SystemScope, "KIVO", "Incubator").clear();
    }

    void noSavedSettingsGiveAnEmptyPort()
    {
        const PortChoice c = loadPortChoice();
        QVERIFY(c.path.isEmpty());
        QVERIFY(c.friendly.isEmpty());
    }

    void theUsersPortWins()
    {
        write(QSettings::UserScope, "comPort", "/dev/ttyUSB0");
        write(QSettings::UserScope, "comFriendly", "USB (ttyUSB0)");
        write(QSettings::SystemScope, "comPort", "/dev/ttyS0");
        write(QSettings::SystemScope, "comFriendly", "COM1");
        const PortChoice c = loadPortChoice();
        QCOMPARE(c.path, QString("/dev/ttyUSB0"));
        QCOMPARE(c.friendly, QString("USB (ttyUSB0)"));
    }

    void settingsOnlyForTheMachineAreUsedAndSavedForTheUser()
    {
        write(QSettings::SystemScope, "comPort", "/dev/ttyS0");
        write(QSettings::SystemScope, "comFriendly", "COM1");
        // A user name without a user port does not mix with the machine's port.
        write(QSettings::UserScope, "comFriendly", "stale");
        PortChoice c = loadPortChoice();
        QCOMPARE(c.path, QString("/dev/ttyS0"));
        QCOMPARE(c.friendly, QString("COM1"));
        savePortChoice(c);
        QSettings user(QSettings::UserScope, "KIVO", "Incubator");
        user.setFallbacksEnabled(false);
        QCOMPARE(user.value("comPort").toString(), QString("/dev/ttyS0"));
        QCOMPARE(user.value("comFriendly").toString(), QString("COM1"));
    }

    void aValueThatIsNotAStringCountsAsEmpty()
    {
        write(QSettings::UserScope, "comPort", QStringList{"a", "b"});
        QVERIFY(loadPortChoice().path.isEmpty());
    }

    void windowSizeFollowsTheScreen_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QSize>("window");
        QTest::newRow("1280 x 1024") << QSize(1280, 1024) << QSize(1024, 924);
        QTest::newRow("800 x 600") << QSize(800, 600) << QSize(865, 500);
        QTest::newRow("1024 x 450 keeps the design height") << QSize(1024, 450) << QSize(1024, 522);
        QTest::newRow("1023 wide keeps the design width") << QSize(1023, 768) << QSize(865, 668);
    }

    void windowSizeFollowsTheScreen()
    {
        QFETCH(QSize, screen);
        QFETCH(QSize, window);
        QCOMPARE(initialWindowSize(screen), window);
    }

    void captionEndsWithTheVersion()
    {
        QVERIFY(mainWindowCaption().startsWith("Программа просмотра статистики инкубатора v"));
        QVERIFY(QRegularExpression("v\\d+\\.\\d+\\.\\d+").match(mainWindowCaption()).hasMatch());
    }
};

QTEST_GUILESS_MAIN(TestAppCore)
#include "test_appcore.moc"
