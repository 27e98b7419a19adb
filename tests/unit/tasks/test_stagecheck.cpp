#include <QtTest>

#include "tasks/stagecheck.h"

class TestStageCheck : public QObject
{
    Q_OBJECT
private slots:
    void theChecksRunInOrder_data();
    void theChecksRunInOrder();
    void aGoodStageGivesItsValues();
    void aTypedPointShowsAsAComma();
};

void TestStageCheck::theChecksRunInOrder_data()
{
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("hours");
    QTest::addColumn<QString>("temperature");
    QTest::addColumn<QString>("humidity");
    QTest::addColumn<QString>("error");

    const QString period = QStringLiteral("Укажите период!");
    const QString temperature = QStringLiteral("Неверная температура!");
    const QString humidity = QStringLiteral("Неверная влажность!");
    QTest::newRow("0 d 0 h is refused before the temperature is looked at") << 0 << 0 << "abc" << "5" << period;
    QTest::newRow("38,0 is accepted") << 1 << 0 << "38,0" << "55" << QString();
    QTest::newRow("32,0 is accepted") << 0 << 1 << "32,0" << "55" << QString();
    QTest::newRow("38,1 is refused") << 1 << 0 << "38,1" << "55" << temperature;
    QTest::newRow("31,9 is refused") << 1 << 0 << "31,9" << "55" << temperature;
    QTest::newRow("the temperature is checked before the humidity") << 1 << 0 << "40" << "5" << temperature;
    QTest::newRow("humidity 20 is accepted") << 1 << 0 << "37,5" << "20" << QString();
    QTest::newRow("humidity 90 is accepted") << 1 << 0 << "37,5" << "90" << QString();
    QTest::newRow("humidity 19 is refused") << 1 << 0 << "37,5" << "19" << humidity;
    QTest::newRow("humidity 91 is refused") << 1 << 0 << "37,5" << "91" << humidity;
    QTest::newRow("a temperature that is no number") << 1 << 0 << "тепло" << "55"
                                                      << QStringLiteral("Неверное число: «тепло»");
    QTest::newRow("a temperature that is not a number at all (nan)") << 1 << 0 << "nan" << "55" << temperature;
    QTest::newRow("a humidity that is no whole number") << 1 << 0 << "37,5" << "55,5"
                                                         << QStringLiteral("Неверное число: «55,5»");
}

void TestStageCheck::theChecksRunInOrder()
{
    QFETCH(int, days);
    QFETCH(int, hours);
    QFETCH(QString, temperature);
    QFETCH(QString, humidity);
    QFETCH(QString, error);
    QCOMPARE(checkStage({days, hours, temperature, humidity}).error, error);
}

void TestStageCheck::aGoodStageGivesItsValues()
{
    const StageCheck check = checkStage({18, 0, QStringLiteral(" 37,6 "), QStringLiteral("55")});
    QVERIFY(check.ok());
    QCOMPARE(check.temperature, 37.6f);
    QCOMPARE(check.humidity, 55);
}

void TestStageCheck::aTypedPointShowsAsAComma()
{
    QCOMPARE(withDecimalComma(QStringLiteral("37.5")), QStringLiteral("37,5"));
    QCOMPARE(withDecimalComma(QStringLiteral("3.7.5")), QStringLiteral("3,7,5"));
}

QTEST_GUILESS_MAIN(TestStageCheck)
#include "test_stagecheck.moc"
