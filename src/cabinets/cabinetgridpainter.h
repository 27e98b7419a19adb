#pragma once
#include <QPoint>
#include <QSize>

class CabinetTable;
class QPainter;

// Paints the thirty cabinet cells (three columns of ten) onto any painter,
// the panel on screen or an image.
void paintCabinetGrid(QPainter &painter, QSize client, const CabinetTable &table, int blinkPhase);

// The cabinet number under a point of a panel of the given size. Near the
// bottom or right border this is outside 1 … 30, as on the panel itself.
int cabinetAt(QPoint point, QSize panel);
