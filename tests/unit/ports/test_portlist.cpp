#include <QtTest>

#include "ports/portlist.h"

class TestPortList : public QObject
{
    Q_OBJECT
private slots:
    void offlineWorkComesFirstThenTheDemonstration()
    {
        const QList<PortEntry> entries = availablePorts();
        QVERIFY(entries.size() >= 2);
        QCOMPARE(entries[0].caption, QString("Автономный режим"));
        QCOMPARE(entries[0].path, QString("offline"));
        QCOMPARE(entries[1].path, QString("sim:demo"));
    }

    void preselectionTakesTheLastUsbOr3303Port_data()
    {
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<int>("selected");
        QTest::newRow("none") << QStringList{"Автономный режим", "Communications Port (ttyS0)"} << -1;
        QTest::newRow("a USB adapter") << QStringList{"Автономный режим", "COM1", "USB Serial (ttyUSB0)"} << 2;
        QTest::newRow("the last of two USB adapters")
            << QStringList{"Автономный режим", "USB Serial (ttyUSB0)", "USB Serial (ttyUSB1)", "COM1"} << 2;
        QTest::newRow("3303 without USB") << QStringList{"Автономный режим", "CP3303 bridge (ttyACM0)"} << 1;
        QTest::newRow("a later USB port replaces 3303")
            << QStringList{"Автономный режим", "CP3303 (ttyACM0)", "USB Serial (ttyUSB0)"} << 2;
        QTest::newRow("lower case usb does not count") << QStringList{"Автономный режим", "usb thing"} << -1;
    }

    void preselectionTakesTheLastUsbOr3303Port()
    {
        QFETCH(QStringList, captions);
        QFETCH(int, selected);
        QList<PortEntry> entries;
        for (const QString &c : captions)
            entries.append({c, "/dev/x"});
        QCOMPARE(preselectedPort(entries), selected);
    }

    void captionsJoinDescriptionAndPortName()
    {
        QCOMPARE(portCaption("USB Serial", "ttyUSB0"), QString("USB Serial (ttyUSB0)"));
        QCOMPARE(portCaption("", "ttyS0"), QString("ttyS0"));
    }
};

QTEST_GUILESS_MAIN(TestPortList)
#include "test_portlist.moc"
