#include <QtTest>

#include "link/operatorui.h"
#include "report/daysummaryview.h"
#include "report/reportstyle.h"
#include "report/summarymodel.h"
#include "report/summarypages.h"
#include "unit/report/summaryfixture.h"
#include "viewer/statname.h"
#include "viewer/tviewer.h"

#include <QDoubleSpinBox>
#include <QPrinter>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QTabBar>
#include <QTableView>
#include <QToolButton>

// The "Сводка за день" window on its own and inside the statistics viewer.
class TestDaySummaryView : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void showsARowPerCabinetWithMarkedCells();
    void aDoubleClickAsksForTheCabinetsFirstOutOfToleranceSlot();
    void changingAToleranceRecountsAndIsSaved();
    void printingWritesTheSummaryPage();
    void theViewersButtonOpensTheSummaryOfTheLoadedFile();
    void aDoubleClickShowsTheCabinetsChartWithTheCursorInView();
    void theSummaryFollowsTheViewerToAnotherDay();
    void withoutALoadedFileTheButtonSaysSo();

private:
    template<typename T> T *viewerChild(const char *name) { return m_viewer->findChild<T *>(QLatin1String(name)); }
    QModelIndex cell(DaySummaryView &view, int cabinet, int column = 0);

    QTemporaryDir m_settings;
    std::unique_ptr<QTemporaryDir> m_cache;
    std::unique_ptr<TViewer> m_viewer;
    ScriptedOperator m_operator;
};

// A double click as a mouse delivers it: press, release, double click,
// release. (QTest's own sends the double click alone to a widget.)
static void doubleClick(QTableView *table, const QModelIndex &index)
{
    const QPoint at = table->visualRect(index).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(table->viewport(), Qt::LeftButton, {}, at);
}

// Cabinets 2 and 5 for a whole day. Cabinet 5 runs 0.5 °C too warm from
// 13:53:20 (slot 5000) for ten minutes and has a door alarm; the day of
// 6 March holds cabinet 5 alone.
static QByteArray dayWithAWarmCabinet(bool withCabinet2)
{
    DayFileBuilder f;
    for (int slot = 0; slot < 8640; ++slot) {
        TestBlock warm = steady(5);
        if (slot >= 5000 && slot < 5060)
            warm.tSum = 38.0f;
        if (slot >= 7000 && slot < 7010)
            warm.alarms = 0x0002;
        f.record(timeOfSlot(slot), withCabinet2 ? QList<TestBlock>{steady(2), warm} : QList<TestBlock>{warm});
    }
    return f.bytes;
}

void TestDaySummaryView::initTestCase()
{
    QVERIFY(m_settings.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
}

void TestDaySummaryView::init()
{
    QSettings(QStringLiteral("KIVO"), QStringLiteral("Incubator")).clear();
    m_cache = std::make_unique<QTemporaryDir>();
    DayFileBuilder five, six;
    five.bytes = dayWithAWarmCabinet(true);
    six.bytes = dayWithAWarmCabinet(false);
    QVERIFY(five.save(m_cache->filePath(QStringLiteral("09-03-05.INC"))));
    QVERIFY(six.save(m_cache->filePath(QStringLiteral("09-03-06.INC"))));
    m_operator = ScriptedOperator();
    m_viewer = std::make_unique<TViewer>();
    m_viewer->setOperator(&m_operator);
    m_viewer->setCacheFolder(m_cache->path());
    m_viewer->resize(1200, 800);
}

void TestDaySummaryView::cleanup()
{
    m_viewer.reset();
    m_cache.reset();
}

QModelIndex TestDaySummaryView::cell(DaySummaryView &view, int cabinet, int column)
{
    auto *table = view.findChild<QTableView *>(QStringLiteral("summaryTable"));
    for (int row = 0; row < table->model()->rowCount(); ++row) {
        const QModelIndex i = table->model()->index(row, column);
        if (i.data(SummaryModel::CabinetRole).toInt() == cabinet)
            return i;
    }
    return {};
}

void TestDaySummaryView::showsARowPerCabinetWithMarkedCells()
{
    StatFile file;
    file.setImage(dayWithAWarmCabinet(true));
    DaySummaryView view;
    view.showSummary(file, QStringLiteral("09-03-05.INC"), QStringLiteral("5.03.2009 г., четверг"));
    auto *table = view.findChild<QTableView *>(QStringLiteral("summaryTable"));
    QCOMPARE(table->model()->rowCount(), 2);
    QCOMPARE(view.windowTitle(), QStringLiteral("[09-03-05.INC] - Сводка за день 5.03.2009 г., четверг"));

    int marked = 0, tolerance = 0, alarm = 0;
    for (int k = 0; k < table->model()->columnCount(); ++k) {
        for (int cabinet : {2, 5}) {
            const QVariant background = cell(view, cabinet, k).data(Qt::BackgroundRole);
            if (!background.isValid())
                continue;
            QCOMPARE(cabinet, 5);
            ++marked;
            tolerance += background.value<QColor>() == reportstyle::outOfTolerance ? 1 : 0;
            alarm += background.value<QColor>() == reportstyle::alarm ? 1 : 0;
        }
    }
    QCOMPARE(marked, 2);
    QCOMPARE(tolerance, 1);
    QCOMPARE(alarm, 1);
}

void TestDaySummaryView::aDoubleClickAsksForTheCabinetsFirstOutOfToleranceSlot()
{
    StatFile file;
    file.setImage(dayWithAWarmCabinet(true));
    DaySummaryView view;
    view.resize(1200, 400);
    view.showSummary(file, QStringLiteral("09-03-05.INC"), QStringLiteral("день"));
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QSignalSpy asked(&view, &DaySummaryView::openCabinetAt);
    auto *table = view.findChild<QTableView *>(QStringLiteral("summaryTable"));

    doubleClick(table, cell(view, 5, 3));
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.at(0).at(0).toInt(), 5);
    QCOMPARE(asked.at(0).at(1).toInt(), 5000);

    doubleClick(table, cell(view, 2, 0));
    QCOMPARE(asked.size(), 2);
    QCOMPARE(asked.at(1).at(0).toInt(), 2);
    QCOMPARE(asked.at(1).at(1).toInt(), -1);
}

void TestDaySummaryView::changingAToleranceRecountsAndIsSaved()
{
    StatFile file;
    file.setImage(dayWithAWarmCabinet(true));
    DaySummaryView view;
    view.showSummary(file, QStringLiteral("09-03-05.INC"), QStringLiteral("день"));
    QCOMPARE(view.report().find(5)->temperature.aboveSlots, 60);

    auto *t = view.findChild<QDoubleSpinBox *>(QStringLiteral("temperatureTolerance"));
    QCOMPARE(t->value(), 0.3);
    t->setValue(0.6);
    QCOMPARE(view.report().find(5)->temperature.aboveSlots, 0);
    QCOMPARE(view.report().tolerances.temperature, 0.6);
    QCOMPARE(report::Tolerances::load().temperature, 0.6);

    // A new window starts from the saved values.
    DaySummaryView next;
    QCOMPARE(next.tolerances().temperature, 0.6);
    QCOMPARE(next.tolerances().humidity, 5.0);
}

void TestDaySummaryView::printingWritesTheSummaryPage()
{
    StatFile file;
    file.setImage(dayWithAWarmCabinet(true));
    DaySummaryView view;
    view.setOperator(&m_operator);
    view.showSummary(file, QStringLiteral("09-03-05.INC"), QStringLiteral("день"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString out = m_cache->filePath(QStringLiteral("printed.pdf"));
    printer.setOutputFileName(out);
    report::setUpPage(printer);
    QVERIFY(view.print(&printer));
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.read(5) == "%PDF-");

    QVERIFY(view.saveCsv(m_cache->filePath(QStringLiteral("day.csv"))));
    QVERIFY(!view.savePdf(m_cache->filePath(QStringLiteral("none/day.pdf"))));
    QCOMPARE(m_operator.messages.size(), 1);
}

void TestDaySummaryView::theViewersButtonOpensTheSummaryOfTheLoadedFile()
{
    m_viewer->openFile(QStringLiteral("09-03-05.INC"));
    QCOMPARE(m_viewer->summaryView(), nullptr);
    viewerChild<QToolButton>("summary")->click();
    DaySummaryView *view = m_viewer->summaryView();
    QVERIFY(view);
    QVERIFY(view->isVisible());
    QCOMPARE(view->report().fileName, QStringLiteral("09-03-05.INC"));
    QCOMPARE(view->report().dateText, QStringLiteral("5.03.2009 г., четверг"));
    QCOMPARE(view->report().cabinets.size(), 2);
    QVERIFY(m_operator.messages.isEmpty());
}

void TestDaySummaryView::aDoubleClickShowsTheCabinetsChartWithTheCursorInView()
{
    m_viewer->openFile(QStringLiteral("09-03-05.INC"));
    QVERIFY(QTest::qWaitForWindowExposed(m_viewer.get()));
    // Zoomed in on the morning, so that 13:53 lies off the charts.
    viewerChild<QSlider>("zoom")->setValue(8640);
    viewerChild<QScrollBar>("scroll")->setValue(0);
    QCOMPARE(m_viewer->document().currentCabinet(), 2);

    viewerChild<QToolButton>("summary")->click();
    DaySummaryView *view = m_viewer->summaryView();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    auto *table = view->findChild<QTableView *>(QStringLiteral("summaryTable"));
    doubleClick(table, cell(*view, 5, 1));

    QCOMPARE(m_viewer->document().currentCabinet(), 5);
    auto *tabs = viewerChild<QTabBar>("tabs");
    QCOMPARE(tabs->tabText(tabs->currentIndex()), QStringLiteral("5"));
    QCOMPARE(m_viewer->navigation().cursorSlot(), 5000);
    const int column = m_viewer->navigation().cursorColumn();
    QVERIFY2(column >= 0 && column < m_viewer->navigation().chartWidth(), qPrintable(QString::number(column)));
    QCOMPARE(viewerChild<QScrollBar>("scroll")->value(), m_viewer->navigation().scroll());
    QVERIFY(m_viewer->document().loaded());

    // A cabinet that stayed within: its tab, the cursor where it was.
    QVERIFY(m_viewer->showCabinetAt(2, -1));
    QCOMPARE(m_viewer->document().currentCabinet(), 2);
    QCOMPARE(m_viewer->navigation().cursorSlot(), 5000);
    QVERIFY(!m_viewer->showCabinetAt(9, 100));   // not in the file
    QCOMPARE(m_viewer->document().currentCabinet(), 2);
}

void TestDaySummaryView::theSummaryFollowsTheViewerToAnotherDay()
{
    m_viewer->openFile(QStringLiteral("09-03-05.INC"));
    viewerChild<QToolButton>("summary")->click();
    DaySummaryView *view = m_viewer->summaryView();
    viewerChild<QToolButton>("next")->click();
    QCOMPARE(m_viewer->selectedFileName(), QStringLiteral("09-03-06.INC"));
    QCOMPARE(view->report().fileName, QStringLiteral("09-03-06.INC"));
    QCOMPARE(view->report().cabinets.size(), 1);

    // A hidden summary is brought up to date when it is opened again.
    view->close();
    viewerChild<QToolButton>("prev")->click();
    QCOMPARE(view->report().fileName, QStringLiteral("09-03-06.INC"));
    viewerChild<QToolButton>("summary")->click();
    QCOMPARE(m_viewer->summaryView(), view);
    QCOMPARE(view->report().fileName, QStringLiteral("09-03-05.INC"));
}

void TestDaySummaryView::withoutALoadedFileTheButtonSaysSo()
{
    m_viewer->show();
    viewerChild<QToolButton>("summary")->click();
    QCOMPARE(m_operator.messages, QStringList{QStringLiteral("Нет загруженных данных")});
    QCOMPARE(m_viewer->summaryView(), nullptr);
}

QTEST_MAIN(TestDaySummaryView)
#include "test_daysummaryview.moc"
