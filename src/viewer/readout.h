#pragma once
#include <QList>
#include <QPainter>
#include <QString>

struct DaySeries;

// The cursor readout: the time, the values and every alarm and state of one
// slot in words, each line at its own height.
struct ReadoutLine
{
    int y;
    QString text;
};

// "Время: 13:45:50" for slot 4955.
QString slotTimeText(int slot);

// autoScale is the "Автомасштаб" toggle: without it the measured temperature
// shows three decimals.
QList<ReadoutLine> readoutLines(const DaySeries &s, int slot, const QString &dateText, bool autoScale);

void paintReadout(QPainter &p, const QList<ReadoutLine> &lines);
