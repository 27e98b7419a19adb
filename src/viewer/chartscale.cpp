#include "viewer/chartscale.h"

#include "viewer/viewmapping.h"

#include <cmath>

double scaleStep(double range, int lines, double firstStep)
{
    const double wanted = range / (lines > 0 ? lines : 1);
    double step = firstStep;
    int k = 1;
    // The bound keeps a non-finite range from looping for ever.
    while (step < wanted && step < 1e12) {
        step *= (k == 2) ? 2.5 : 2.0;
        k = (k == 3) ? 1 : k + 1;
    }
    return step;
}

AxisScale computeAxis(double min, double max, int height, double firstStep)
{
    const int usable = height - 20;
    const int lines = usable / 30 > 0 ? usable / 30 : 1;
    AxisScale a;
    a.step = scaleStep(max - min, lines, firstStep);
    a.low = std::floor(min / a.step) * a.step;
    a.high = std::ceil(max / a.step) * a.step;
    // Charts of 20 pixels or less have no room for a margin.
    if (usable > 0) {
        const double margin = (a.high - a.low) / usable * 10;
        a.low -= margin;
        a.high += margin;
    }
    if (a.high == a.low)
        a.high += 0.1;
    return a;
}

int valueToY(double v, const AxisScale &axis, int height)
{
    return truncToInt(height - height / (axis.high - axis.low) * (v - axis.low));
}

bool ChartScale::adoptPending()
{
    if (min == pendingMin && max == pendingMax)
        return false;
    min = pendingMin;
    max = pendingMax;
    return true;
}
