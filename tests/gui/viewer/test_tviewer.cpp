#include <QtTest>

#include "link/operatorui.h"
#include "statgen.h"
#include "viewer/rollpanel.h"
#include "viewer/tviewer.h"

#include <QScrollBar>
#include <QSlider>
#include <QTabBar>
#include <QToolButton>

// The viewer window on files of a cache folder.
class TestTViewer : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void openingACachedFileShowsItsCabinetsAndCaption();
    void nextAndPreviousWalkTheCacheNewestFirst();
    void aNameInLowerCaseOnDiskIsOpenedByItsRealName();
    void zoomingToTheMaximumBringsNoonToTheMiddle();
    void theWheelScrollsAndWithCtrlZooms();
    void aClickPlacesTheCursorAndADragBeyondTheChartsDoesNot();
    void theCursorBlinksOnTheScreenOnly();
    void aFileThatCannotBeReadIsReportedAndNamedInTheCaption();
    void aDamagedFileSaysHowManyRecordsWereSkipped();
    void rollingHumidityUpGivesTemperatureItsRoom();
    void sixtyThreeCabinetsScrollTheirTabsInsteadOfGrowingTheWindow();

private:
    void writeDay(const QString &name, const QString &cabinets, int day);
    template<typename T> T *child(const char *name) { return m_viewer->findChild<T *>(QLatin1String(name)); }

    std::unique_ptr<QTemporaryDir> m_cache;
    std::unique_ptr<TViewer> m_viewer;
    ScriptedOperator m_operator;
};

void TestTViewer::writeDay(const QString &name, const QString &cabinets, int day)
{
    statgen::Options o;
    o.date = QDate(2009, 3, day);
    QVERIFY(statgen::parseCabinets(cabinets, &o.cabinets, nullptr));
    QFile f(m_cache->filePath(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(statgen::generateDay(o));
}

void TestTViewer::init()
{
    m_cache = std::make_unique<QTemporaryDir>();
    writeDay(QStringLiteral("09-03-04.INC"), QStringLiteral("2,5"), 4);
    writeDay(QStringLiteral("09-03-05.INC"), QStringLiteral("2,5,12"), 5);
    writeDay(QStringLiteral("09-03-06.INC"), QStringLiteral("5,12"), 6);
    writeDay(QStringLiteral("RULE.BIN"), QStringLiteral("1"), 1);   // sorts first, not a day file
    m_operator = ScriptedOperator();
    m_viewer = std::make_unique<TViewer>();
    m_viewer->setOperator(&m_operator);
    m_viewer->setCacheFolder(m_cache->path());
    m_viewer->resize(1200, 800);
}

void TestTViewer::cleanup()
{
    m_viewer.reset();
    m_cache.reset();
}

void TestTViewer::openingACachedFileShowsItsCabinetsAndCaption()
{
    m_viewer->openFile(QStringLiteral("09-03-05.INC"), 5);
    QVERIFY(QTest::qWaitForWindowExposed(m_viewer.get()));
    auto *tabs = child<QTabBar>("tabs");
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(tabs->currentIndex()), QStringLiteral("5"));
    QCOMPARE(m_viewer->windowTitle(), QStringLiteral("[09-03-05.INC] - Статистика за 5.03.2009 г., четверг"));
    QVERIFY(m_viewer->document().loaded());
    QVERIFY(m_operator.messages.isEmpty());
    const int W = child<QWidget>("temp")->width();
    QCOMPARE(m_viewer->navigation().chartWidth(), W);
    QCOMPARE(child<QSlider>("zoom")->value(), W);
    QCOMPARE(child<QScrollBar>("scroll")->maximum(), 1);

    tabs->setCurrentIndex(2);
    QCOMPARE(m_viewer->document().currentCabinet(), 12);
    QVERIFY(m_viewer->document().loaded());
}

void TestTViewer::nextAndPreviousWalkTheCacheNewestFirst()
{
    m_viewer->openFile(QStringLiteral("09-03-05.INC"));
    auto *next = child<QToolButton>("next");
    auto *prev = child<QToolButton>("prev");
    QVERIFY(next->isEnabled());
    QVERIFY(prev->isEnabled());
    child<QTabBar>("tabs")->setCurrentIndex(2);   // cabinet 12

    next->click();
    QCOMPARE(m_viewer->selectedFileName(), QStringLiteral("09-03-06.INC"));
    QCOMPARE(m_viewer->document().currentCabinet(), 12);   // kept: the new day has it
    QVERIFY(!next->isEnabled());   // above is RULE.BIN, no day file

    prev->click();
    prev->click();
    QCOMPARE(m_viewer->selectedFileName(), QStringLiteral("09-03-04.INC"));
    QCOMPARE(m_viewer->document().currentCabinet(), 2);   // no 12 that day: the first tab
    QVERIFY(!prev->isEnabled());
    QVERIFY(next->isEnabled());
    m_viewer->prevClick();         // nothing below: reloads the same day
    QCOMPARE(m_viewer->selectedFileName(), QStringLiteral("09-03-04.INC"));
    QVERIFY(m_viewer->document().loaded());

    // With the newest day first in the folder, next stays put as well.
    QVERIFY(QFile::remove(m_cache->filePath(QStringLiteral("RULE.BIN"))));
    m_viewer->openFile(QStringLiteral("09-03-06.INC"));
    QVERIFY(!next->isEnabled());
    m_viewer->nextClick();
    QCOMPARE(m_viewer->selectedFileName(), QStringLiteral("09-03-06.INC"));
    QVERIFY(m_viewer->document().loaded());
    QVERIFY(m_operator.messages.isEmpty());
}

void TestTViewer::aNameInLowerCaseOnDiskIsOpenedByItsRealName()
{
    writeDay(QStringLiteral("09-03-07.inc"), QStringLiteral("33"), 7);
    m_viewer->openFile(QStringLiteral("09-03-07.INC"));
    QVERIFY(m_operator.messages.isEmpty());
    QCOMPARE(m_viewer->document().tabs(), QList<int>{33});
    QCOMPARE(m_viewer->selectedFileName(), QStringLiteral("09-03-07.INC"));
}

void TestTViewer::zoomingToTheMaximumBringsNoonToTheMiddle()
{
    m_viewer->openFile(QStringLiteral("09-03-05.INC"));
    const int W = child<QWidget>("temp")->width();
    child<QSlider>("zoom")->setValue(8640);
    QCOMPARE(child<QScrollBar>("scroll")->value(), (8640 - W) / 2);
    QCOMPARE(m_viewer->navigation().scroll(), (8640 - W) / 2);
    QCOMPARE(child<QScrollBar>("scroll")->maximum(), 8640 - W + 1);
}

void TestTViewer::theWheelScrollsAndWithCtrlZooms()
{
    m_viewer->openFile(QStringLiteral("09-03-05.INC"));
    const int W = child<QWidget>("temp")->width();
    // A wheel over a chart reaches the window; a synthetic event does not
    // travel up, so it goes to the window straight away.
    auto wheel = [&](Qt::KeyboardModifiers mods) {
        const QPointF at(300, 300);
        QWheelEvent e(at, m_viewer->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(m_viewer.get(), &e);
    };
    wheel(Qt::ControlModifier);
    QCOMPARE(child<QSlider>("zoom")->value(), W + 120);
    child<QSlider>("zoom")->setValue(8640);
    const int p = child<QScrollBar>("scroll")->value();
    wheel(Qt::NoModifier);
    QCOMPARE(child<QScrollBar>("scroll")->value(), p + 120);
}

void TestTViewer::aClickPlacesTheCursorAndADragBeyondTheChartsDoesNot()
{
    m_viewer->openFile(QStringLiteral("09-03-05.INC"));
    child<QSlider>("zoom")->setValue(8640);
    child<QScrollBar>("scroll")->setValue(4680);   // 13:00 at the left edge
    auto *hum = child<QWidget>("hum");
    QTest::mouseClick(hum, Qt::RightButton, {}, QPoint(275, 30));
    QCOMPARE(m_viewer->navigation().cursorSlot(), 4955);

    auto drag = [&](int x) {
        QMouseEvent e(QEvent::MouseMove, QPointF(x, 5), hum->mapToGlobal(QPointF(x, 5)), Qt::NoButton,
                      Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(hum, &e);
    };
    drag(300);
    QCOMPARE(m_viewer->navigation().cursorSlot(), 4980);
    drag(hum->width());   // beyond the charts: stays
    QCOMPARE(m_viewer->navigation().cursorSlot(), 4980);
    drag(-50);            // left of the charts: the view's first slot and no less
    QCOMPARE(m_viewer->navigation().cursorSlot(), 4630);
}

void TestTViewer::theCursorBlinksOnTheScreenOnly()
{
    m_viewer->openFile(QStringLiteral("09-03-05.INC"));
    QVERIFY(QTest::qWaitForWindowExposed(m_viewer.get()));
    child<QSlider>("zoom")->setValue(8640);   // one slot a column
    auto *temp = child<QWidget>("temp");
    QTest::mouseClick(temp, Qt::LeftButton, {}, QPoint(200, 10));
    const int x = m_viewer->navigation().cursorColumn();
    QCOMPARE(x, 200);
    // One phase shows the column inverted, the other the picture; the
    // picture itself never holds the cursor.
    bool shown = false, hidden = false;
    QTRY_VERIFY_WITH_TIMEOUT(([&] {
        const QImage screen = temp->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage &picture = m_viewer->pictures().image(ChartPictures::Temperature);
        bool inverted = true, same = true;
        for (int y = 0; y < picture.height(); ++y) {
            const QRgb p = picture.pixel(x, y) & 0xFFFFFF, s = screen.pixel(x, y) & 0xFFFFFF;
            inverted = inverted && s == (~p & 0xFFFFFF);
            same = same && s == p;
        }
        const bool rest = screen.copy(x + 1, 0, 50, picture.height()) == picture.copy(x + 1, 0, 50, picture.height());
        shown = shown || (inverted && rest);
        hidden = hidden || (same && rest);
        return shown && hidden;
    }()), 3000);
}

void TestTViewer::aFileThatCannotBeReadIsReportedAndNamedInTheCaption()
{
    m_viewer->openFile(QStringLiteral("09-03-05.INC"));
    m_viewer->openFile(QStringLiteral("09-03-09.INC"), 12);
    QCOMPARE(m_operator.messages, QStringList{QStringLiteral("Ошибка при открытии файла!")});
    QCOMPARE(m_viewer->windowTitle(), QStringLiteral("[09-03-09.INC] - Статистика за 9.03.2009 г., понедельник"));
    QVERIFY(!m_viewer->document().loaded());
    QCOMPARE(child<QTabBar>("tabs")->count(), 3);   // the old tabs stay
    QCOMPARE(m_viewer->document().requestedCabinet(), 12);   // kept for the next load
}

void TestTViewer::aDamagedFileSaysHowManyRecordsWereSkipped()
{
    QFile f(m_cache->filePath(QStringLiteral("09-03-05.INC")));
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.resize(f.size() - 7));
    f.close();
    m_viewer->openFile(QStringLiteral("09-03-05.INC"));
    QCOMPARE(m_operator.messages, QStringList{QStringLiteral("Файл повреждён: пропущено записей: 1")});
    QVERIFY(m_viewer->document().loaded());
}

void TestTViewer::rollingHumidityUpGivesTemperatureItsRoom()
{
    m_viewer->openFile(QStringLiteral("09-03-05.INC"));
    QVERIFY(QTest::qWaitForWindowExposed(m_viewer.get()));
    auto *t = child<RollPanel>("T");
    auto *h = child<RollPanel>("H");
    const int both = t->height();
    QCOMPARE(h->height(), both);
    h->setRolledUp(true);
    QCOMPARE(h->height(), 21);
    QVERIFY(t->height() >= 2 * both - 21);
    QCOMPARE(m_viewer->pictures().size(ChartPictures::Temperature).height(), t->height() - 22);
    h->setRolledUp(false);
    QCOMPARE(t->height(), both);
}

void TestTViewer::sixtyThreeCabinetsScrollTheirTabsInsteadOfGrowingTheWindow()
{
    writeDay(QStringLiteral("09-03-07.INC"), QStringLiteral("1-63"), 7);
    m_viewer->openFile(QStringLiteral("09-03-07.INC"), 63);
    QVERIFY(QTest::qWaitForWindowExposed(m_viewer.get()));
    QCOMPARE(m_viewer->height(), 800);
    QVERIFY(m_viewer->minimumSizeHint().height() < 600);
    auto *tabs = child<QTabBar>("tabs");
    QCOMPARE(tabs->count(), 63);
    QCOMPARE(tabs->tabText(tabs->currentIndex()), QStringLiteral("63"));
    // The chosen cabinet's tab is scrolled into sight.
    QVERIFY(tabs->rect().contains(tabs->tabRect(tabs->currentIndex())));
}

QTEST_MAIN(TestTViewer)
#include "test_tviewer.moc"
