#pragma once
#include "viewer/cachefolder.h"
#include "viewer/chartpictures.h"
#include "viewer/navigation.h"
#include "viewer/statdocument.h"

#include <QWidget>

class ChartArea;
class ChartView;
class DaySummaryView;
class OperatorUi;
class PaintBox;
class QLabel;
class QProgressBar;
class QScrollBar;
class QSlider;
class QStatusBar;
class QTabBar;
class QTimer;
class QToolButton;

// The statistics viewer window: one day file of the local cache, one tab per
// cabinet, temperature, humidity and state charts under a time ruler, zoom,
// scroll, a blinking cursor with its readout, and the neighbouring days'
// files. It works on local files only.
class TViewer : public QWidget
{
    Q_OBJECT
public:
    explicit TViewer(QWidget *parent = nullptr);
    ~TViewer() override;

    // Shows the window with a file of the cache folder (its list name) and
    // loads it; a cabinet number 1-63 makes that cabinet's tab current.
    void openFile(const QString &cacheFileName, int requestedCabinet = 0);

    void setRequestedCabinet(int cabinet) { m_doc.setRequestedCabinet(cabinet); }
    void setCacheFolder(const QString &folder);   // "cache" unless told
    // Messages go here instead of message boxes (tests); not owned.
    void setOperator(OperatorUi *ui) { m_operator = ui; }

    const StatDocument &document() const { return m_doc; }
    const ViewNavigation &navigation() const { return m_nav; }
    const ChartPictures &pictures() const { return m_pictures; }
    QString selectedFileName() const { return m_cache.caption(m_selected); }

    // Makes a cabinet's tab current and, for a slot 0-8639, puts the cursor
    // there and scrolls it into view; false when the file lacks the cabinet.
    bool showCabinetAt(int cabinet, int slot);
    DaySummaryView *summaryView() const { return m_summary; }   // null until first opened

public slots:
    bool loadClick();
    void tabsChange();
    void nextClick();
    void prevClick();
    void exportCsvClick();
    void exportPngClick();
    void summaryClick();

protected:
    void wheelEvent(QWheelEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void changeEvent(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void buildWindow();
    QWidget *buildToolBar();
    void FormResize();
    void layoutSidePanel();
    void zoomChange(int value);
    void scrollChange(int value);
    void ZClick();
    void tempMouseDown(int x);
    void tempMouseMove(int x);
    void curTimer();
    void Timer1Timer();

    void afterBuild();               // what every day-model build ends with
    void syncNavigationWidgets();
    void viewMoved();                // zoom or scroll changed
    void repaintCharts();            // ruler, charts and their axes
    void fillTabs();
    void showMessage(const QString &text, const QString &caption, bool warning);
    ChartOptions chartOptions() const;
    const QImage &picture(ChartPictures::Chart c);

    StatDocument m_doc;
    ViewNavigation m_nav;
    ChartPictures m_pictures;
    CacheFolder m_cache;
    int m_selected = -1;
    QString m_wantedName;            // asked for but not in the cache folder
    bool m_cursorPhase = false;
    OperatorUi *m_operator = nullptr;

    QSlider *m_zoom = nullptr;
    QToolButton *m_Z = nullptr;
    QToolButton *m_AA = nullptr;
    QToolButton *m_prev = nullptr;
    QToolButton *m_next = nullptr;
    QTabBar *m_tabs = nullptr;
    ChartArea *m_area = nullptr;
    PaintBox *m_ruler = nullptr;
    PaintBox *m_ty = nullptr;
    PaintBox *m_hy = nullptr;
    ChartView *m_temp = nullptr;
    ChartView *m_hum = nullptr;
    ChartView *m_st = nullptr;
    QScrollBar *m_scroll = nullptr;
    QWidget *m_side = nullptr;
    PaintBox *m_cursorPanel = nullptr;
    PaintBox *m_sLabel = nullptr;
    QStatusBar *m_status = nullptr;
    QProgressBar *m_progress = nullptr;
    QTimer *m_cur = nullptr;
    QTimer *m_rescale = nullptr;
    DaySummaryView *m_summary = nullptr;
};
