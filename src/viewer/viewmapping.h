#pragma once
#include "viewer/statformat.h"

// Where slots fall on a chart: the scroll position P (slot at the left edge)
// and the zoom as pixels per slot. Every real-to-pixel or real-to-slot
// conversion truncates toward zero.
struct HorizontalMap
{
    int scroll = 0;
    double pixelsPerSample = 0;

    bool valid() const { return pixelsPerSample > 0; }

    // Column of slot i: trunc((i - P) * pixelsPerSample).
    int x(int slot) const;

    // Slot under column x: trunc(P + x / pixelsPerSample), unclamped.
    long long slotAt(int x) const;

    // Slots drawn for the columns left .. right (right exclusive): from
    // trunc(P + left / pps) up to, not including, trunc(P + right / pps),
    // both held within 0 .. 8640.
    int firstSlot(int left) const;
    int lastSlot(int right) const;
};

// Truncation of a real pixel or slot position, held to a range where the
// conversion to int is defined.
int truncToInt(double v);
