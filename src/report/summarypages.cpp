#include "report/summarypages.h"

#include "report/dayreport.h"
#include "report/reportstyle.h"
#include "report/savefile.h"
#include "report/summarytable.h"
#include "viewer/chartstyle.h"
#include "viewer/statdocument.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

namespace report {

namespace {

// Table font sizes tried, in points, largest first.
constexpr double largestTableFont = 8.0;
constexpr double smallestTableFont = 5.5;
constexpr double fontStep = 0.5;

QFont fontOf(double points, bool bold = false)
{
    QFont f = chartstyle::font();
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

struct TableLayout
{
    double fontPoints = largestTableFont;
    QList<double> widths;
    double padding = 0;
    double headerHeight = 0;
    double rowHeight = 0;
    int rowsPerPage = 1;

    double width() const { return std::accumulate(widths.begin(), widths.end(), 0.0); }
};

class PagePainter
{
public:
    PagePainter(QPagedPaintDevice &device, QPainter &painter, const DayReport &report)
        : m_device(device), m_p(painter), m_report(report), m_page(0, 0, device.width(), device.height()),
          m_dpi(device.logicalDpiY())
    {
    }

    void paint()
    {
        m_tableTop = titleHeight();
        m_tableBottom = m_page.height() - footerHeight();
        m_layout = chooseLayout();
        const int rows = int(m_report.cabinets.size());
        const int pages = std::max(1, (rows + m_layout.rowsPerPage - 1) / m_layout.rowsPerPage);
        for (int page = 0; page < pages; ++page) {
            if (page > 0)
                m_device.newPage();
            paintTitle();
            const int first = page * m_layout.rowsPerPage;
            paintTable(first, std::min(rows, first + m_layout.rowsPerPage));
            paintFooter(page + 1, pages);
        }
    }

private:
    double points(double pt) const { return pt * m_dpi / 72.0; }
    QFontMetricsF metrics(const QFont &f) const { return QFontMetricsF(f, &m_device); }

    double titleHeight() const
    {
        return metrics(fontOf(11, true)).height() + metrics(fontOf(8)).height() * 1.2 + points(5);
    }

    double footerHeight() const { return metrics(fontOf(7)).height() + points(5); }

    TableLayout measure(double fontPoints) const
    {
        TableLayout l;
        l.fontPoints = fontPoints;
        const QFontMetricsF plain = metrics(fontOf(fontPoints));
        const QFontMetricsF bold = metrics(fontOf(fontPoints, true));
        l.padding = points(fontPoints * 0.3);
        const QList<TableColumn> &columns = tableColumns();
        int headerLines = 1;
        for (const TableColumn &column : columns) {
            double w = 0;
            const QStringList lines = column.title.split(u'\n');
            headerLines = std::max(headerLines, int(lines.size()));
            for (const QString &line : lines)
                w = std::max(w, plain.horizontalAdvance(line));
            for (const CabinetSummary &c : m_report.cabinets)
                w = std::max(w, (column.mark(c) == Mark::None ? plain : bold).horizontalAdvance(column.text(c)));
            l.widths.append(w + 2 * l.padding);
        }
        l.rowHeight = plain.height() * 1.1;
        l.headerHeight = plain.height() * headerLines + 2 * l.padding;
        l.rowsPerPage = std::max(1, int((m_tableBottom - m_tableTop - l.headerHeight) / l.rowHeight));
        return l;
    }

    // The largest font with which the table fits the page width and all
    // rows fit one page; failing that, the largest that fits the width.
    TableLayout chooseLayout() const
    {
        const int rows = int(m_report.cabinets.size());
        std::optional<TableLayout> fitsWidth;
        TableLayout l;
        for (double f = largestTableFont; f >= smallestTableFont - 1e-9; f -= fontStep) {
            l = measure(f);
            if (l.width() > m_page.width())
                continue;
            if (l.rowsPerPage >= rows)
                return spread(l);
            if (!fitsWidth)
                fitsWidth = l;
        }
        return spread(fitsWidth ? *fitsWidth : l);
    }

    // Fills the page width: spare room is shared out, a shortfall (too many
    // columns even at the smallest font) is taken from every column alike.
    TableLayout spread(TableLayout l) const
    {
        const double scale = m_page.width() / l.width();
        if (scale < 1) {
            for (double &w : l.widths)
                w *= scale;
        } else {
            const double extra = (m_page.width() - l.width()) / l.widths.size();
            for (double &w : l.widths)
                w += extra;
        }
        return l;
    }

    void paintTitle()
    {
        m_p.setPen(chartstyle::text);
        m_p.setFont(fontOf(11, true));
        const double titleLine = metrics(m_p.font()).height();
        m_p.drawText(QRectF(0, 0, m_page.width(), titleLine), Qt::AlignLeft | Qt::AlignVCenter,
                     reportTitle(m_report));
        QString info = QStringLiteral("Файл: %1      Шкафов: %2      Допуск: ±%3 °C, ±%4 %")
                           .arg(m_report.fileName)
                           .arg(m_report.cabinets.size())
                           .arg(fixed(m_report.tolerances.temperature, 2), fixed(m_report.tolerances.humidity, 1));
        if (m_report.damagedRecords)
            info += QStringLiteral("      ") + StatDocument::damageMessage(m_report.damagedRecords);
        m_p.setFont(fontOf(8));
        m_p.drawText(QRectF(0, titleLine, m_page.width(), metrics(m_p.font()).height() * 1.2),
                     Qt::AlignLeft | Qt::AlignVCenter, info);
    }

    void paintTable(int first, int end)
    {
        const QList<TableColumn> &columns = tableColumns();
        const QFont plain = fontOf(m_layout.fontPoints), bold = fontOf(m_layout.fontPoints, true);
        const double pad = m_layout.padding;
        QPen gridPen(reportstyle::grid);
        gridPen.setWidthF(points(0.5));

        double y = m_tableTop;
        double x = 0;
        m_p.setFont(plain);
        for (int k = 0; k < columns.size(); ++k) {
            const QRectF cell(x, y, m_layout.widths[k], m_layout.headerHeight);
            m_p.fillRect(cell, QColor(0xE4, 0xE4, 0xE4));
            m_p.setPen(chartstyle::text);
            m_p.drawText(cell.adjusted(pad, pad, -pad, -pad), Qt::AlignCenter, columns[k].title);
            x += m_layout.widths[k];
        }
        y += m_layout.headerHeight;

        for (int row = first; row < end; ++row, y += m_layout.rowHeight) {
            const CabinetSummary &c = m_report.cabinets.at(row);
            x = 0;
            for (int k = 0; k < columns.size(); ++k) {
                const QRectF cell(x, y, m_layout.widths[k], m_layout.rowHeight);
                x += m_layout.widths[k];
                const Mark mark = columns[k].mark(c);
                if (mark != Mark::None)
                    m_p.fillRect(cell, reportstyle::markColor(mark));
                else if ((row - first) % 2)
                    m_p.fillRect(cell, reportstyle::stripe);
                m_p.setPen(chartstyle::text);
                m_p.setFont(mark == Mark::None ? plain : bold);
                const Qt::Alignment align = (k == 0 ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter;
                m_p.drawText(cell.adjusted(pad, 0, -pad, 0), align, columns[k].text(c));
            }
        }

        // Grid over the cells, so that fills do not cover it.
        m_p.setPen(gridPen);
        const double bottom = y;
        x = 0;
        m_p.drawLine(QPointF(0, m_tableTop), QPointF(0, bottom));
        for (double w : m_layout.widths) {
            x += w;
            m_p.drawLine(QPointF(x, m_tableTop), QPointF(x, bottom));
        }
        m_p.drawLine(QPointF(0, m_tableTop), QPointF(x, m_tableTop));
        for (double line = m_tableTop + m_layout.headerHeight; line <= bottom + 0.5; line += m_layout.rowHeight)
            m_p.drawLine(QPointF(0, line), QPointF(x, line));
    }

    void paintFooter(int page, int pages)
    {
        m_p.setFont(fontOf(7));
        const double h = metrics(m_p.font()).height();
        const double y = m_page.height() - h;
        double x = 0;
        auto swatch = [&](const QColor &color, const QString &text) {
            const QRectF box(x, y + h * 0.15, h * 1.6, h * 0.7);
            m_p.fillRect(box, color);
            m_p.setPen(reportstyle::grid);
            m_p.drawRect(box);
            m_p.setPen(chartstyle::text);
            x = box.right() + h * 0.4;
            const QRectF label(x, y, metrics(m_p.font()).horizontalAdvance(text) + 1, h);
            m_p.drawText(label, Qt::AlignLeft | Qt::AlignVCenter, text);
            x = label.right() + h * 1.5;
        };
        swatch(reportstyle::outOfTolerance, QStringLiteral("выход за допуск, минут"));
        swatch(reportstyle::alarm, QStringLiteral("авария: минут (случаев)"));
        m_p.drawText(QRectF(x, y, m_page.width() - x, h), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Т — температура, Вл. — влажность, Δ — среднее отклонение от задания; "
                                    "проценты — от времени с данными"));
        m_p.drawText(QRectF(0, y, m_page.width(), h), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Лист %1 из %2").arg(page).arg(pages));
    }

    QPagedPaintDevice &m_device;
    QPainter &m_p;
    const DayReport &m_report;
    const QRectF m_page;
    const double m_dpi;
    double m_tableTop = 0;
    double m_tableBottom = 0;
    TableLayout m_layout;
};

}  // namespace

void setUpPage(QPagedPaintDevice &device)
{
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(QPageLayout::Landscape);
    device.setPageMargins(QMarginsF(10, 8, 10, 8), QPageLayout::Millimeter);
}

QString reportTitle(const DayReport &report)
{
    return QStringLiteral("Сводка за день %1").arg(report.dateText);
}

bool paintReport(QPagedPaintDevice &device, const DayReport &report)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    PagePainter(device, painter, report).paint();
    return painter.end();
}

bool writePdf(const DayReport &report, const QString &outFile, QString *message)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        if (message)
            *message = QStringLiteral("Для PDF нужен графический режим (QGuiApplication)");
        return false;
    }
    return saveWhole(outFile, message, [&report](QIODevice &out) {
        QPdfWriter writer(&out);
        writer.setTitle(reportTitle(report) + QStringLiteral(" (") + report.fileName + QLatin1Char(')'));
        writer.setCreator(QStringLiteral("Incubator"));
        setUpPage(writer);
        return paintReport(writer, report);
    });
}

}  // namespace report
