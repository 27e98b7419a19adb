#include <QtTest>

#include "link/cp1251.h"
#include "link/crc16.h"
#include "link/wire.h"

class TestWire : public QObject
{
    Q_OBJECT
private slots:
    void checksumOfTheNineDigitsIs0x4B37();
    void encodingsMatchTheWireTable_data();
    void encodingsMatchTheWireTable();
    void checksumTravelsLowByteFirstAsDataPairs();
    void textOutsideTheCodePageIsRefused();
};

void TestWire::checksumOfTheNineDigitsIs0x4B37()
{
    QCOMPARE(crc16(QByteArrayView("123456789")), quint16(0x4B37));
    QCOMPARE(crc16(QByteArrayView("")), quint16(0xFFFF));
    // A byte of 0x80 and above is taken zero-extended.
    QCOMPARE(crc16(QByteArrayView("\x80", 1)), quint16(0xE0BE));
}

void TestWire::encodingsMatchTheWireTable_data()
{
    QTest::addColumn<QByteArray>("encoded");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("command 8") << wire::command(8) << QByteArray("\x88\xE1");
    QTest::newRow("command 23") << wire::command(23) << QByteArray("\x97\xE1");
    QTest::newRow("data byte 0x41") << wire::dataBytes("A") << QByteArray("\x81\xA2");
    QTest::newRow("data byte 0xFF") << wire::dataBytes("\xFF") << QByteArray("\x9F\xA7");
    QTest::newRow("bus byte 0x41") << wire::busBytes("A") << QByteArray("\x81\xC2");
    QTest::newRow("bus word 320") << wire::busWord(320) << QByteArray("\x80\xCA");
    QTest::newRow("bus word 383") << wire::busWord(383) << QByteArray("\x9F\xCB");
    QTest::newRow("bus word 1023") << wire::busWord(1023) << QByteArray("\x9F\xDF");
    QTest::newRow("paced byte 0x41") << wire::pacedBytes("A")
                                     << QByteArray("\x80\x80\x80\x80\x80\x80\x80\x80\x81\xC2");
    QTest::newRow("nothing") << wire::dataBytes("") << QByteArray();
}

void TestWire::encodingsMatchTheWireTable()
{
    QFETCH(QByteArray, encoded);
    QFETCH(QByteArray, expected);
    QCOMPARE(encoded.toHex(' '), expected.toHex(' '));
}

void TestWire::checksumTravelsLowByteFirstAsDataPairs()
{
    QCOMPARE(wire::checksumPairs("123456789").toHex(' '), QByteArray("97 a1 8b a2"));
}

void TestWire::textOutsideTheCodePageIsRefused()
{
    bool ok = false;
    QCOMPARE(cp1251::encode(QStringLiteral("Шкаф №1"), &ok), QByteArray("\xD8\xEA\xE0\xF4 \xB9" "1"));
    QVERIFY(ok);
    QVERIFY(cp1251::encode(QStringLiteral("雞"), &ok).isEmpty());
    QVERIFY(!ok);
    QCOMPARE(cp1251::decode("\xD1\xF2\xEE\xEF"), QStringLiteral("Стоп"));
}

QTEST_GUILESS_MAIN(TestWire)
#include "test_wire.moc"
