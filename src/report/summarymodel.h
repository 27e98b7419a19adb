#pragma once
#include "report/dayreport.h"

#include <QAbstractTableModel>

// The summary for a table view: a row per cabinet, the columns of
// tableColumns(); marked cells carry a background colour and a bold font.
class SummaryModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Role
    {
        CabinetRole = Qt::UserRole,        // the row's cabinet number
        FirstOutOfToleranceSlotRole,       // -1 when the cabinet stayed within
        MarkRole,                          // report::Mark of the cell, as int
    };

    using QAbstractTableModel::QAbstractTableModel;

    void setReport(const report::DayReport &report);
    const report::DayReport &report() const { return m_report; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    report::DayReport m_report;
};
