#include "fileicons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// A sheet of paper with a folded corner, the common ground of every icon.
void paintSheet(QPainter &p, const QColor &fold)
{
    QPainterPath sheet;
    sheet.moveTo(3.5, 1.5);
    sheet.lineTo(10.5, 1.5);
    sheet.lineTo(13.5, 4.5);
    sheet.lineTo(13.5, 14.5);
    sheet.lineTo(3.5, 14.5);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(10.5, 1.5);
    corner.lineTo(10.5, 4.5);
    corner.lineTo(13.5, 4.5);
    corner.closeSubpath();
    p.setBrush(fold);
    p.drawPath(corner);
}

QPixmap paint(FileKind kind)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
    case FileKind::Statistics: {
        paintSheet(p, QColor(120, 170, 230));
        // Two traces: temperature and humidity.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(210, 40, 40), 1.2));
        p.drawPolyline(QPolygonF({{4.5, 10}, {6.5, 7}, {8.5, 9}, {10.5, 6}, {12.5, 7}}));
        p.setPen(QPen(QColor(30, 90, 200), 1.2));
        p.drawPolyline(QPolygonF({{4.5, 13}, {6.5, 12}, {8.5, 12.5}, {10.5, 11}, {12.5, 11.5}}));
        break;
    }
    case FileKind::Task: {
        paintSheet(p, QColor(240, 190, 60));
        // A calendar grid: the incubation plan.
        p.setPen(QPen(QColor(200, 120, 0), 1));
        p.drawLine(QPointF(5, 6.5), QPointF(12, 6.5));
        for (double y : {9.0, 11.5})
            for (double x : {5.0, 7.5, 10.0})
                p.fillRect(QRectF(x, y, 1.8, 1.6), QColor(200, 120, 0));
        break;
    }
    case FileKind::Other:
        paintSheet(p, QColor(200, 200, 200));
        p.setPen(QPen(QColor(150, 150, 150), 1));
        for (double y : {7.5, 9.5, 11.5})
            p.drawLine(QPointF(5, y), QPointF(12, y));
        break;
    }
    return pixmap;
}

}  // namespace

QIcon fileIcon(FileKind kind)
{
    return QIcon(paint(kind));
}
