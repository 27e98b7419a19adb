#include <QtTest>

#include "service/sensorrecord.h"

#include <cmath>
#include <limits>

// The parameter record's layout and the parameter list's texts.
class TestSensorRecord : public QObject
{
    Q_OBJECT
private slots:
    void theRecordIsLittleEndianWithItsChecksumLast();
    void aChangedByteBreaksTheChecksum();
    void theListStartsWithItsSixteenRows();
    void valuesAreShownWithADecimalComma_data();
    void valuesAreShownWithADecimalComma();
    void aValueThatIsNotANumberEndsTheFilling_data();
    void aValueThatIsNotANumberEndsTheFilling();
    void typedValues_data();
    void typedValues();
    void sensorNumbers_data();
    void sensorNumbers();
    void rowsMakeARecordOrNameTheFirstBadRow();
    void aShownRecordIsWrittenBackUnchanged();
};

void TestSensorRecord::theRecordIsLittleEndianWithItsChecksumLast()
{
    SensorRecord r;
    r.setNumber(0x1234);
    r.setValue(1, 1.5f);
    r.setValue(15, -2.0f);
    r.seal();

    const QByteArray expected = QByteArray::fromHex("3412" "0000c03f") + QByteArray(52, '\0')
                                + QByteArray::fromHex("000000c0" "3ac4");
    QCOMPARE(r.bytes().toHex(), expected.toHex());
    QVERIFY(r.checksumOk());
    const SensorRecord back = SensorRecord::fromBytes(expected);
    QCOMPARE(back.number(), quint16(0x1234));
    QCOMPARE(back.value(1), 1.5f);
    QCOMPARE(back.value(15), -2.0f);
    QCOMPARE(back.storedChecksum(), quint16(0xC43A));
}

void TestSensorRecord::aChangedByteBreaksTheChecksum()
{
    SensorRecord r;
    r.setNumber(7);
    r.seal();
    QByteArray bytes = r.bytes();
    for (int i : {0, 30, 61, 62, 63}) {
        QByteArray changed = bytes;
        changed[i] = char(changed[i] ^ 0x01);
        QVERIFY2(!SensorRecord::fromBytes(changed).checksumOk(), qPrintable(QString::number(i)));
    }
    // A short answer is zero-filled, so its checksum cannot hold by accident.
    QVERIFY(!SensorRecord::fromBytes(bytes.left(40)).checksumOk());
}

void TestSensorRecord::theListStartsWithItsSixteenRows()
{
    QCOMPARE(sensorRowNames(),
             QStringList({"Номер", "hum_zerro_offset", "hum_slope", "hum_k_ADC", "Настройки", "Kp регулятора", "1",
                          "2", "3", "4", "5", "6", "7", "Дельта термостат", "k2", "k3"}));
    QCOMPARE(initialSensorRows(),
             QStringList({"0", "0", "0", "0", "0", "0", "0", "8", "0", "0", "0", "0", "0", "0", "0", "0"}));
}

void TestSensorRecord::valuesAreShownWithADecimalComma_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("one and a half") << 1.5f << "1,500000e+00";
    QTest::newRow("zero") << 0.0f << "0,000000e+00";
    QTest::newRow("a small negative") << -0.000123f << "-1,230000e-04";
    QTest::newRow("the largest float") << std::numeric_limits<float>::max() << "3,402823e+38";
    QTest::newRow("a denormal") << 1e-40f << "9,999946e-41";
}

void TestSensorRecord::valuesAreShownWithADecimalComma()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(formatSensorValue(value), text);

    SensorRecord r;
    r.setNumber(42);
    r.setValue(6, value);
    QStringList rows = initialSensorRows();
    showRecord(r, rows);
    QCOMPARE(rows[0], "42");
    QCOMPARE(rows[6], text);
    QCOMPARE(rows[7], "0,000000e+00");
}

void TestSensorRecord::aValueThatIsNotANumberEndsTheFilling_data()
{
    QTest::addColumn<float>("value");
    QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("infinity") << std::numeric_limits<float>::infinity();
    QTest::newRow("minus infinity") << -std::numeric_limits<float>::infinity();
}

void TestSensorRecord::aValueThatIsNotANumberEndsTheFilling()
{
    QFETCH(float, value);
    SensorRecord r;
    r.setNumber(3);
    for (int row = 1; row < 16; ++row)
        r.setValue(row, float(row));
    r.setValue(9, value);
    QStringList rows(16, QStringLiteral("old"));

    showRecord(r, rows);

    QCOMPARE(rows.mid(0, 9), QStringList({"3", "1,000000e+00", "2,000000e+00", "3,000000e+00", "4,000000e+00",
                                          "5,000000e+00", "6,000000e+00", "7,000000e+00", "8,000000e+00"}));
    QCOMPARE(rows.mid(9), QStringList(7, QStringLiteral("old")));
}

void TestSensorRecord::typedValues_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<float>("value");
    QTest::newRow("a point") << "1.5" << true << 1.5f;
    QTest::newRow("a comma") << "1,5" << true << 1.5f;
    QTest::newRow("as the list shows it") << "-3,250000e-02" << true << -0.0325f;
    QTest::newRow("exponent after a point") << "2.5E+3" << true << 2500.0f;
    QTest::newRow("blanks around") << "  7 " << true << 7.0f;
    QTest::newRow("a whole number") << "12" << true << 12.0f;
    QTest::newRow("empty") << "" << false << 0.0f;
    QTest::newRow("a word") << "abc" << false << 0.0f;
    QTest::newRow("two commas") << "1,2,3" << false << 0.0f;
    QTest::newRow("a comma and a point") << "1,5.5" << false << 0.0f;
    QTest::newRow("two points") << "1.5.5" << false << 0.0f;
    QTest::newRow("trailing text") << "1,5x" << false << 0.0f;
    QTest::newRow("infinity") << "inf" << false << 0.0f;
    QTest::newRow("NaN") << "nan" << false << 0.0f;
    QTest::newRow("beyond float32") << "1e39" << false << 0.0f;
    QTest::newRow("beyond float32, negative") << "-4e38" << false << 0.0f;
}

void TestSensorRecord::typedValues()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(float, value);
    const std::optional<float> parsed = parseSensorValue(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void TestSensorRecord::sensorNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");   // -1: refused
    QTest::newRow("broadcast") << "63" << 63;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("the largest") << "65535" << 65535;
    QTest::newRow("one too many") << "65536" << -1;
    QTest::newRow("negative") << "-1" << -1;
    QTest::newRow("with a decimal comma") << "5,0" << -1;
    QTest::newRow("a word") << "пять" << -1;
}

void TestSensorRecord::sensorNumbers()
{
    QFETCH(QString, text);
    QFETCH(int, number);
    QCOMPARE(parseSensorNumber(text).value_or(-1), number);
}

void TestSensorRecord::rowsMakeARecordOrNameTheFirstBadRow()
{
    QStringList rows = initialSensorRows();
    rows[0] = "513";
    rows[2] = "1.25";
    rows[14] = "-4,5e-1";
    const RecordFromRows made = recordFromRows(rows);
    QVERIFY(made.record);
    QCOMPARE(made.badRow, -1);
    QCOMPARE(made.record->bytes().left(2), QByteArray::fromHex("0102"));
    QCOMPARE(made.record->bytes().mid(6, 4), QByteArray::fromHex("0000a03f"));
    QCOMPARE(made.record->value(7), 8.0f);
    QCOMPARE(made.record->value(14), -0.45f);
    QVERIFY(made.record->checksumOk());

    rows[11] = "x";
    rows[12] = "y";
    QCOMPARE(recordFromRows(rows).badRow, 11);
    QVERIFY(!recordFromRows(rows).record);
    QCOMPARE(notANumberMessage(11, "x"), "Значение «x» в строке «6» не является допустимым числом!");
}

void TestSensorRecord::aShownRecordIsWrittenBackUnchanged()
{
    SensorRecord r;
    r.setNumber(17);
    const float values[] = {0.35f, 1.25f, 0.0125f, 0, 2.5f, 37.5f, 8, 0.5f, 1, 0, 120, -3.5f, 0.2f, 1e-3f, 4.75e4f};
    for (int row = 1; row < 16; ++row)
        r.setValue(row, values[row - 1]);
    r.seal();
    QStringList rows = initialSensorRows();
    showRecord(r, rows);
    const RecordFromRows back = recordFromRows(rows);
    QVERIFY(back.record);
    QCOMPARE(back.record->bytes().toHex(), r.bytes().toHex());
}

QTEST_APPLESS_MAIN(TestSensorRecord)
#include "test_sensorrecord.moc"
