#include "report/summarymodel.h"

#include "report/reportstyle.h"
#include "report/summarytable.h"

#include <QFont>

using namespace report;

void SummaryModel::setReport(const DayReport &report)
{
    beginResetModel();
    m_report = report;
    endResetModel();
}

int SummaryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_report.cabinets.size());
}

int SummaryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(tableColumns().size());
}

QVariant SummaryModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const CabinetSummary &c = m_report.cabinets.at(index.row());
    const TableColumn &column = tableColumns().at(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return column.text(c);
    case Qt::TextAlignmentRole:
        return int((index.column() == 0 ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        if (const QColor color = reportstyle::markColor(column.mark(c)); color.isValid())
            return color;
        return {};
    case Qt::FontRole:
        if (column.mark(c) != Mark::None) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::ToolTipRole:
        if (column.mark(c) == Mark::OutOfTolerance && c.firstOutOfToleranceSlot >= 0)
            return QStringLiteral("Первый выход за допуск в %1").arg(slotTime(c.firstOutOfToleranceSlot));
        return column.toolTip;
    case CabinetRole:
        return c.cabinet;
    case FirstOutOfToleranceSlotRole:
        return c.firstOutOfToleranceSlot;
    case MarkRole:
        return int(column.mark(c));
    default:
        return {};
    }
}

QVariant SummaryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= tableColumns().size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return tableColumns().at(section).title;
    if (role == Qt::ToolTipRole)
        return tableColumns().at(section).toolTip;
    return {};
}
