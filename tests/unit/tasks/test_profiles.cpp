#include <QtTest>

#include "linetext.h"
#include "tasks/profilelibrary.h"

class TestProfiles : public QObject
{
    Q_OBJECT
private slots:
    void headersCarryTheTotalOfTheirStages_data();
    void headersCarryTheTotalOfTheirStages();
    void aNameTypedAsTwoWordsKeepsOnlyTheFirstOnceRebuilt();
    void theLastLineBeginningWithTheKeyIsSelected();
    void deletingAHeaderTakesItsStagesAndNothingElse();
    void deletingAStageTakesOnlyThatLine();
    void aStageIsInsertedRightAfterTheSelectedNode();
};

void TestProfiles::headersCarryTheTotalOfTheirStages_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("20 h and 10 h make 1 day 6 h")
        << QStringList{"Утка - 00 д. 00 час.", "  00 д. 20 час., \t37.5°C 55%", "  00 д. 10 час., \t37.5°C 55%"}
        << QStringList{"Утка - 01 д. 06 час.", "  00 д. 20 час., \t37.5°C 55%", "  00 д. 10 час., \t37.5°C 55%"};
    QTest::newRow("three stages of 23 h make 2 days 21 h")
        << QStringList{"Гусь - 99 д. 99 час.", "  00 д. 23 час., \t37.5°C 55%", "  00 д. 23 час., \t37.5°C 55%",
                       "  00 д. 23 час., \t37.5°C 55%"}
        << QStringList{"Гусь - 02 д. 21 час.", "  00 д. 23 час., \t37.5°C 55%", "  00 д. 23 час., \t37.5°C 55%",
                       "  00 д. 23 час., \t37.5°C 55%"};
    QTest::newRow("a new profile without stages has zero totals, the next keeps its own")
        << QStringList{"Новый - ", "Бройлер - 00 д. 00 час.", "  18 д. 00 час., \t37.6°C 55%",
                       "  03 д. 00 час., \t37.0°C 70%"}
        << QStringList{"Новый - 00 д. 00 час.", "Бройлер - 21 д. 00 час.", "  18 д. 00 час., \t37.6°C 55%",
                       "  03 д. 00 час., \t37.0°C 70%"};
}

void TestProfiles::headersCarryTheTotalOfTheirStages()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, expected);
    auto prf = cpLines(lines);
    TLineFields f;
    profiles::refreshTotals(prf, f);
    QCOMPARE(textLines(prf), expected);
}

void TestProfiles::aNameTypedAsTwoWordsKeepsOnlyTheFirstOnceRebuilt()
{
    profiles::Lines prf;
    TLineFields f;
    const QByteArray key = profiles::newProfile(prf, cp(QStringLiteral("Перепел японский")));
    profiles::refreshTotals(prf, f);
    QCOMPARE(textLines(prf), QStringList{"Перепел - 00 д. 00 час."});
    // The new header is still found by the key it gives.
    QCOMPARE(profiles::lineForKey(prf, key), 0);
}

void TestProfiles::theLastLineBeginningWithTheKeyIsSelected()
{
    auto prf = cpLines({"Бройлер - 00 д. 00 час.", "Бро - 00 д. 00 час.", "Бройлер2 - 00 д. 00 час.",
                        "Утка - 00 д. 00 час."});
    QCOMPARE(profiles::lineForKey(prf, cp(QStringLiteral("Бро"))), 2);
    QCOMPARE(profiles::lineForKey(prf, cp(QStringLiteral("Утка"))), 3);
    QCOMPARE(profiles::lineForKey(prf, cp(QStringLiteral("Индюк"))), -1);
    QCOMPARE(profiles::lineForKey(prf, QByteArray()), -1);
}

void TestProfiles::deletingAHeaderTakesItsStagesAndNothingElse()
{
    auto prf = cpLines({"А - 00 д. 00 час.", "  01 д. 00 час., \t37.5°C 55%", "Б - 00 д. 00 час.",
                        "  02 д. 00 час., \t37.5°C 55%", "  03 д. 00 час., \t37.5°C 55%", "В - 00 д. 00 час.",
                        "  04 д. 00 час., \t37.5°C 55%"});
    profiles::removeAt(prf, 2);
    QCOMPARE(textLines(prf), (QStringList{"А - 00 д. 00 час.", "  01 д. 00 час., \t37.5°C 55%", "В - 00 д. 00 час.",
                                          "  04 д. 00 час., \t37.5°C 55%"}));
    profiles::removeAt(prf, 2);
    QCOMPARE(prf.size(), 2);
}

void TestProfiles::deletingAStageTakesOnlyThatLine()
{
    auto prf = cpLines({"А - 00 д. 00 час.", "  01 д. 00 час., \t37.5°C 55%", "  02 д. 00 час., \t37.5°C 55%"});
    profiles::removeAt(prf, 1);
    QCOMPARE(textLines(prf), (QStringList{"А - 00 д. 00 час.", "  02 д. 00 час., \t37.5°C 55%"}));
}

void TestProfiles::aStageIsInsertedRightAfterTheSelectedNode()
{
    auto prf = cpLines({"А - 00 д. 00 час.", "  01 д. 00 час., \t37.5°C 55%", "Б - 00 д. 00 час."});
    TLineFields f;
    f.Days = 0;
    f.Hours = 12;
    f.Temperature = 38.0f;
    f.Humidity = 90;
    // After the header: the profile's first stage.
    const QByteArray line = profiles::insertStage(prf, 1, f);
    QCOMPARE(cp1251::decode(line), QStringLiteral("  00 д. 12 час., \t38.0°C 90%"));
    QCOMPARE(prf.indexOf(line), 1);
    profiles::refreshTotals(prf, f);
    QCOMPARE(cp1251::decode(prf[0]), QStringLiteral("А - 01 д. 12 час."));
    QCOMPARE(cp1251::decode(prf[3]), QStringLiteral("Б - 00 д. 00 час."));
}

QTEST_GUILESS_MAIN(TestProfiles)
#include "test_profiles.moc"
