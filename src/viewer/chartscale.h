#pragma once

// The vertical scale of a value chart.
struct AxisScale
{
    double low = 0;
    double high = 0;
    double step = 0;
};

// Grid step for a value range spread over n lines: the first step, then
// x2, x2.5, x2 in turn (0.1, 0.2, 0.5, 1, 2, 5, ... from 0.1) until it
// covers range / n.
double scaleStep(double range, int lines, double firstStep);

// Axis of a chart `height` pixels high showing min .. max: the range rounded
// out to whole steps, then widened by ten pixels' worth at each side.
AxisScale computeAxis(double min, double max, int height, double firstStep);

// Row of value v: trunc(H - H / (high - low) * (v - low)).
int valueToY(double v, const AxisScale &axis, int height);

// What a value chart remembers between redraws: the range it is drawn for,
// the range its last redraw actually showed, and the axis that redraw used.
struct ChartScale
{
    double min = 0;
    double max = 0;
    double pendingMin = 99999;
    double pendingMax = -99999;
    AxisScale axis;

    // The rescale step: takes the shown range as the range in use; true
    // when that changed it (the chart then needs a redraw).
    bool adoptPending();
};
