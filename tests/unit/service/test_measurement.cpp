#include <QtTest>

#include "service/measurement.h"

// Decoding measurement frames and the moving average of the middle value.
class TestMeasurement : public QObject
{
    Q_OBJECT
private slots:
    void framesAreShownAsTheSensorSentThem_data();
    void framesAreShownAsTheSensorSentThem();
    void theAverageCountsAHundredFrames();
    void restartingTheAverageForgetsEveryFrame();
    void largeMiddleValuesNeitherDriftNorWrap();
    void aShortFrameIsIgnored();
};

namespace {

QByteArray frame(const char *dataHex)
{
    return QByteArray::fromHex("AA57") + QByteArray::fromHex(dataHex);
}

QByteArray middle(quint32 value)
{
    QByteArray f = frame("42100000 00000000 42100000");
    f[6] = char(value >> 24);
    f[7] = char(value >> 16);
    f[8] = char(value >> 8);
    f[9] = char(value);
    return f;
}

}  // namespace

void TestMeasurement::framesAreShownAsTheSensorSentThem_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<FrameTexts>("shown");
    QTest::newRow("36, 256 and 36")
        << frame("42100000 00000100 42100000")
        << FrameTexts{"  36.000", "42 10 00 00", "256", "00 00 01 00", "2", "  36.000", "42 10 00 00"};
    QTest::newRow("negative and fractional values")
        << frame("C2100000 0000FFFF BFC00000")
        << FrameTexts{" -36.000", "C2 10 00 00", "65535", "00 00 FF FF", "655", "  -1.500", "BF C0 00 00"};
    QTest::newRow("the largest middle value is unsigned")
        << frame("00000000 FFFFFFFF 3DCCCCCD")
        << FrameTexts{"   0.000", "00 00 00 00", "4294967295", "FF FF FF FF", "42949672", "   0.100", "3D CC CC CD"};
    QTest::newRow("a value wider than eight places")
        << frame("4CBEBC20 00000001 7F800000")
        << FrameTexts{"100000000.000", "4C BE BC 20", "1", "00 00 00 01", "0", "     inf", "7F 80 00 00"};
}

void TestMeasurement::framesAreShownAsTheSensorSentThem()
{
    QFETCH(QByteArray, bytes);
    QFETCH(FrameTexts, shown);
    MovingAverage average;
    const FrameTexts t = decodeFrame(bytes, average);
    QCOMPARE(t.extt, shown.extt);
    QCOMPARE(t.Edit1, shown.Edit1);
    QCOMPARE(t.hum, shown.hum);
    QCOMPARE(t.Edit2, shown.Edit2);
    QCOMPARE(t.Edit4, shown.Edit4);
    QCOMPARE(t.intt, shown.intt);
    QCOMPARE(t.Edit3, shown.Edit3);
}

void TestMeasurement::theAverageCountsAHundredFrames()
{
    MovingAverage average;
    QCOMPARE(decodeFrame(middle(256), average).Edit4, "2");
    for (int i = 1; i < 99; ++i)
        decodeFrame(middle(256), average);
    QCOMPARE(decodeFrame(middle(256), average).Edit4, "256");
    for (int i = 0; i < 250; ++i)
        QCOMPARE(decodeFrame(middle(256), average).Edit4, "256");
    // The oldest value leaves as a new one comes.
    QCOMPARE(decodeFrame(middle(356), average).Edit4, "257");
}

void TestMeasurement::restartingTheAverageForgetsEveryFrame()
{
    MovingAverage average;
    for (int i = 0; i < 150; ++i)
        decodeFrame(middle(1000 + i), average);
    average.restart();
    QCOMPARE(decodeFrame(middle(300), average).Edit4, "3");
    QCOMPARE(decodeFrame(middle(300), average).Edit4, "6");
}

void TestMeasurement::largeMiddleValuesNeitherDriftNorWrap()
{
    // Values above 2^24, whose top byte a narrower leaving value would lose,
    // and a sum far beyond 32 bits.
    MovingAverage average;
    for (int i = 0; i < 1000; ++i)
        decodeFrame(middle(0xFFFFFFFFu - quint32(i % 7) * 0x01000000u), average);
    for (int i = 0; i < 100; ++i)
        decodeFrame(middle(5), average);
    QCOMPARE(average.sum(), 500);
    QCOMPARE(decodeFrame(middle(5), average).Edit4, "5");

    for (int i = 0; i < 100; ++i)
        decodeFrame(middle(0xF0000000u), average);
    QCOMPARE(decodeFrame(middle(0xF0000000u), average).Edit4, "4026531840");
}

void TestMeasurement::aShortFrameIsIgnored()
{
    MovingAverage average;
    QCOMPARE(decodeFrame(frame("42100000 000001"), average), FrameTexts{});
    QCOMPARE(average.sum(), 0);
}

QTEST_APPLESS_MAIN(TestMeasurement)
#include "test_measurement.moc"
