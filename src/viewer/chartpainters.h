#pragma once
#include "viewer/chartscale.h"
#include "viewer/viewmapping.h"

#include <QPainter>
#include <QSize>
#include <QString>

struct DaySeries;

enum class ValueKind { Temperature, Humidity };

// What the window's toggles say about drawing.
struct ChartOptions
{
    HorizontalMap map;
    bool showTask = true;    // "Показывать задание"
    bool autoScale = true;   // "Автомасштаб" (temperature; humidity always fits)
};

// Redraws the whole picture of the temperature or humidity chart for the
// range in scale.min .. scale.max; records the axis it used and the range of
// the values it drew (scale.pending*), which the rescale step adopts.
void paintValueChart(QPainter &p, QSize size, const DaySeries &s, ValueKind kind,
                     const ChartOptions &o, ChartScale &scale);

// Redraws the whole picture of the state chart: thirteen rows of alarm
// (red) and state marks.
void paintStateChart(QPainter &p, QSize size, const DaySeries &s, const HorizontalMap &map);

// Label of the value axis: "37.5°C", "55 %".
QString axisLabel(ValueKind kind, double v);

// The value axis beside a chart, its labels level with the chart's grid.
void paintValueAxis(QPainter &p, int height, ValueKind kind, const AxisScale &axis);

// The time ruler over the charts; chartLeft is where column 0 of the charts
// lies on the ruler.
void paintTimeRuler(QPainter &p, QSize size, const HorizontalMap &map, int chartLeft);

// Names of the thirteen state chart rows, spaced as the rows of a state
// chart `chartHeight` pixels high.
void paintStateLegend(QPainter &p, int chartHeight);

// First step of each value chart and the fixed range of the temperature
// chart without autoscale.
double firstStep(ValueKind kind);
constexpr double fixedTemperatureMin = 37.45;
constexpr double fixedTemperatureMax = 37.6;
