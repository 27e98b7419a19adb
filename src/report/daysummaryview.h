#pragma once
#include "report/dayreport.h"
#include "viewer/statfile.h"

#include <QWidget>

class OperatorUi;
class QDoubleSpinBox;
class QLabel;
class QPrinter;
class QTableView;
class SummaryModel;

// "Сводка за день": one row per cabinet of a loaded statistics file with
// its day's figures; out-of-tolerance and alarm cells are marked. The
// tolerances are edited here and kept in the program's settings. Prints the
// summary and saves it as PDF and CSV. A double click on a row asks for
// that cabinet's chart with the cursor on its first out-of-tolerance slot.
class DaySummaryView : public QWidget
{
    Q_OBJECT
public:
    explicit DaySummaryView(QWidget *parent = nullptr);
    ~DaySummaryView() override;

    // Summarises a file (the image is shared with the caller's, not copied).
    void showSummary(const StatFile &file, const QString &fileName, const QString &dateText);

    const report::DayReport &report() const;
    report::Tolerances tolerances() const;
    // Recomputes the summary and saves the tolerances in the settings.
    void setTolerances(const report::Tolerances &tolerances);

    // Messages go here instead of message boxes (tests); not owned.
    void setOperator(OperatorUi *ui) { m_operator = ui; }

    // The file buttons without their dialogs; false after telling the operator.
    bool saveCsv(const QString &path);
    bool savePdf(const QString &path);
    bool print(QPrinter *printer);

signals:
    // slot is -1 when the cabinet never left its tolerance.
    void openCabinetAt(int cabinet, int slot);

public slots:
    void printClick();
    void pdfClick();
    void csvClick();

private:
    void recompute();
    void rowActivated(int row);
    QString suggestedName(const char *extension) const;
    void showMessage(const QString &text, bool warning);

    StatFile m_file;
    QString m_fileName;
    QString m_dateText;
    SummaryModel *m_model = nullptr;
    QTableView *m_table = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_warning = nullptr;
    QDoubleSpinBox *m_tTolerance = nullptr;
    QDoubleSpinBox *m_hTolerance = nullptr;
    OperatorUi *m_operator = nullptr;
};
