#include <QtTest>

#include "viewer/dayseries.h"
#include "viewer/readout.h"

#include <memory>

// The cursor readout: every text and where it stands.
class TestReadout : public QObject
{
    Q_OBJECT
private slots:
    void theTimeReadsHoursMinutesAndTensOfSeconds_data();
    void theTimeReadsHoursMinutesAndTensOfSeconds();
    void aSlotWithoutSetPointsSaysNoData_data();
    void aSlotWithoutSetPointsSaysNoData();
    void allClearReadsEveryLineInPlace();
    void eachStateAndAlarmChangesItsLine_data();
    void eachStateAndAlarmChangesItsLine();
    void withoutAutoscaleTheMeasuredTemperatureHasThreeDecimals();
};

namespace {

std::unique_ptr<DaySeries> withSetPoints(int slot)
{
    auto s = std::make_unique<DaySeries>();
    s->tTask[size_t(slot)] = 37.8f;
    s->tMeas[size_t(slot)] = 37.64f;
    s->hTask[size_t(slot)] = 55.0f;
    s->hMeas[size_t(slot)] = 54.37f;
    return s;
}

QString lineAt(const QList<ReadoutLine> &lines, int y)
{
    for (const ReadoutLine &l : lines)
        if (l.y == y)
            return l.text;
    return QStringLiteral("<none>");
}

}  // namespace

void TestReadout::theTimeReadsHoursMinutesAndTensOfSeconds_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("text");
    QTest::newRow("slot 4955") << 4955 << QStringLiteral("Время: 13:45:50");
    QTest::newRow("slot 0") << 0 << QStringLiteral("Время: 00:00:00");
    QTest::newRow("slot 8639") << 8639 << QStringLiteral("Время: 23:59:50");
    QTest::newRow("slot 361") << 361 << QStringLiteral("Время: 01:00:10");
}

void TestReadout::theTimeReadsHoursMinutesAndTensOfSeconds()
{
    QFETCH(int, slot);
    QFETCH(QString, text);
    QCOMPARE(slotTimeText(slot), text);
    DaySeries s;
    QCOMPARE(lineAt(readoutLines(s, slot, QStringLiteral("5.03.2009 г., четверг"), true), 32), text);
}

void TestReadout::aSlotWithoutSetPointsSaysNoData_data()
{
    QTest::addColumn<float>("tTask");
    QTest::addColumn<float>("hTask");
    QTest::addColumn<quint16>("states");
    QTest::addColumn<QString>("control");
    QTest::newRow("no temperature set point") << 0.0f << 55.0f << quint16(0x0200) << QStringLiteral("Контроль аварий: да");
    QTest::newRow("no humidity set point") << 37.8f << 0.0f << quint16(0) << QStringLiteral("Контроль аварий: нет");
    QTest::newRow("nothing at all") << 0.0f << 0.0f << quint16(0xFDFF) << QStringLiteral("Контроль аварий: нет");
}

void TestReadout::aSlotWithoutSetPointsSaysNoData()
{
    QFETCH(float, tTask);
    QFETCH(float, hTask);
    QFETCH(quint16, states);
    QFETCH(QString, control);
    DaySeries s;
    s.tTask[10] = tTask;
    s.hTask[10] = hTask;
    s.tMeas[10] = 37.0f;
    s.hMeas[10] = 50.0f;
    s.stateBits[10] = states;
    const QList<ReadoutLine> lines = readoutLines(s, 10, QStringLiteral("день"), true);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lineAt(lines, 16), QStringLiteral("день"));
    QCOMPARE(lineAt(lines, 32), QStringLiteral("Время: 00:01:40"));
    QCOMPARE(lineAt(lines, 64), QStringLiteral("Нет данных"));
    QCOMPARE(lineAt(lines, 272), control);
}

void TestReadout::allClearReadsEveryLineInPlace()
{
    auto s = withSetPoints(4955);
    const QList<ReadoutLine> lines = readoutLines(*s, 4955, QStringLiteral("5.03.2009 г., четверг"), true);
    const QList<ReadoutLine> expected{
        {16, QStringLiteral("5.03.2009 г., четверг")},
        {32, QStringLiteral("Время: 13:45:50")},
        {48, QStringLiteral("Темп.: 37.8°C / 37.6°C")},
        {64, QStringLiteral("Вл.:  55% / 54.4%")},
        {80, QStringLiteral("К-45°: разомкнут")},
        {96, QStringLiteral("К 0°: разомкнут")},
        {112, QStringLiteral("К+45°: разомкнут")},
        {128, QStringLiteral("Дверь: закрыта")},
        {144, QStringLiteral("Нагр.: выкл.")},
        {160, QStringLiteral("Охл.: выкл.")},
        {176, QStringLiteral("Увл.: выкл.")},
        {192, QStringLiteral("Мотор: стоп")},
        {208, QStringLiteral("Вентиляция: выкл.")},
        {224, QStringLiteral("+12В: есть")},
        {240, QStringLiteral("~220В: есть")},
        {256, QStringLiteral("Датчик: есть")},
        {272, QStringLiteral("Контроль аварий: нет")},
    };
    QCOMPARE(lines.size(), expected.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QCOMPARE(lines[i].y, expected[i].y);
        QCOMPARE(lines[i].text, expected[i].text);
    }
}

void TestReadout::eachStateAndAlarmChangesItsLine_data()
{
    QTest::addColumn<quint16>("states");
    QTest::addColumn<quint16>("alarms");
    QTest::addColumn<int>("y");
    QTest::addColumn<QString>("text");
    QTest::newRow("-45 contact closed") << quint16(0x0008) << quint16(0) << 80 << QStringLiteral("К-45°: замкнут");
    QTest::newRow("-45 contact alarm") << quint16(0) << quint16(0x0008) << 80 << QStringLiteral("К-45°: разомкнут/авария");
    QTest::newRow("0 contact closed with alarm") << quint16(0x0010) << quint16(0x0010) << 96 << QStringLiteral("К 0°: замкнут/авария");
    QTest::newRow("+45 contact closed") << quint16(0x0020) << quint16(0) << 112 << QStringLiteral("К+45°: замкнут");
    QTest::newRow("+45 contact alarm") << quint16(0) << quint16(0x0020) << 112 << QStringLiteral("К+45°: разомкнут/авария");
    QTest::newRow("door open") << quint16(0x0001) << quint16(0) << 128 << QStringLiteral("Дверь: открыта");
    QTest::newRow("door alarm is alarm bit 1") << quint16(0x0001) << quint16(0x0002) << 128 << QStringLiteral("Дверь: открыта/авария");
    QTest::newRow("heater on") << quint16(0x0040) << quint16(0) << 144 << QStringLiteral("Нагр.: вкл.");
    QTest::newRow("heater alarm") << quint16(0) << quint16(0x0040) << 144 << QStringLiteral("Нагр.: выкл./авария");
    QTest::newRow("cooler on with alarm") << quint16(0x0080) << quint16(0x0080) << 160 << QStringLiteral("Охл.: вкл./авария");
    QTest::newRow("humidifier on") << quint16(0x0100) << quint16(0) << 176 << QStringLiteral("Увл.: вкл.");
    QTest::newRow("humidifier alarm") << quint16(0) << quint16(0x0100) << 176 << QStringLiteral("Увл.: выкл./авария");
    QTest::newRow("motor moving up") << quint16(0x0006) << quint16(0) << 192 << QStringLiteral("Мотор: движение вверх");
    QTest::newRow("motor moving down") << quint16(0x0002) << quint16(0) << 192 << QStringLiteral("Мотор: движение вниз");
    QTest::newRow("direction alone is a stopped motor") << quint16(0x0004) << quint16(0) << 192 << QStringLiteral("Мотор: стоп");
    QTest::newRow("ventilation on") << quint16(0x0400) << quint16(0) << 208 << QStringLiteral("Вентиляция: вкл.");
    QTest::newRow("ventilation alarm is alarm bit 2") << quint16(0) << quint16(0x0004) << 208 << QStringLiteral("Вентиляция: выкл./авария");
    QTest::newRow("no +12 V") << quint16(0) << quint16(0x0001) << 224 << QStringLiteral("+12В: нет");
    QTest::newRow("no mains") << quint16(0) << quint16(0x0200) << 240 << QStringLiteral("~220В: нет");
    QTest::newRow("sensor alarm") << quint16(0) << quint16(0x0400) << 256 << QStringLiteral("Датчик: авария");
    QTest::newRow("alarm control on") << quint16(0x0200) << quint16(0) << 272 << QStringLiteral("Контроль аварий: да");
}

void TestReadout::eachStateAndAlarmChangesItsLine()
{
    QFETCH(quint16, states);
    QFETCH(quint16, alarms);
    QFETCH(int, y);
    QFETCH(QString, text);
    auto s = withSetPoints(100);
    s->stateBits[100] = states;
    s->alarmBits[100] = alarms;
    QCOMPARE(lineAt(readoutLines(*s, 100, QString(), true), y), text);
}

void TestReadout::withoutAutoscaleTheMeasuredTemperatureHasThreeDecimals()
{
    auto s = withSetPoints(7);
    QCOMPARE(lineAt(readoutLines(*s, 7, QString(), false), 48), QStringLiteral("Темп.: 37.8°C / 37.640°C"));
    s->tMeas[7] = 0;   // set points but no reading
    QCOMPARE(lineAt(readoutLines(*s, 7, QString(), false), 48), QStringLiteral("Темп.: 37.8°C / 0.000°C"));
    QCOMPARE(lineAt(readoutLines(*s, 7, QString(), true), 48), QStringLiteral("Темп.: 37.8°C / 0.0°C"));
}

QTEST_GUILESS_MAIN(TestReadout)
#include "test_readout.moc"
