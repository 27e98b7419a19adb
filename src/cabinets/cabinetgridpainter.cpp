#include "cabinetgridpainter.h"

#include "cabinettable.h"

#include <QFont>
#include <QPainter>

void paintCabinetGrid(QPainter &painter, QSize client, const CabinetTable &table, int blinkPhase)
{
    using namespace cabinetcolours;
    const int h = (client.height() - 4) / 10;
    const int w = (client.width() - 4) / 3;
    if (h <= 0 || w <= 0)
        return;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(19);
    font.setBold(true);
    painter.setFont(font);
    for (int r = 0; r < 10; ++r) {
        for (int c = 0; c < 3; ++c) {
            const int n = 10 * c + r + 1;
            const quint8 state = table.state(n);
            const QRect cell(QPoint(c * w + 2, r * h + 2), QPoint((c + 1) * w + 2 - 1, (r + 1) * h + 2 - 1));
            painter.fillRect(cell, cellFill(state));
            painter.save();
            painter.setClipRect(cell);
            painter.setPen(numberColour(state, blinkPhase));
            const QFontMetrics metrics(font);
            // The text's top-left corner at (left + w/2 - 8, top + h/2 - 8).
            painter.drawText(QPoint(cell.left() + w / 2 - 8, cell.top() + h / 2 - 8 + metrics.ascent()),
                             QString::number(n));
            painter.restore();
            const QColor frame = n <= 20 ? teal : navy;
            painter.setPen(white);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(cell.adjusted(0, 0, -1, -1).normalized());
            painter.setPen(frame);
            painter.drawRect(cell.adjusted(1, 1, -2, -2));
            painter.drawRect(cell.adjusted(2, 2, -3, -3));
        }
    }
}

int cabinetAt(QPoint point, QSize panel)
{
    const int rowHeight = panel.height() / 10;
    const int columnWidth = panel.width() / 3;
    if (rowHeight <= 0 || columnWidth <= 0)
        return 0;
    return point.y() / rowHeight + 10 * (point.x() / columnWidth) + 1;
}
