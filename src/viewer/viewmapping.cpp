#include "viewer/viewmapping.h"

#include <algorithm>
#include <cmath>

int truncToInt(double v)
{
    if (std::isnan(v))
        return 0;
    return int(std::clamp(v, -1.0e9, 1.0e9));
}

int HorizontalMap::x(int slot) const
{
    return truncToInt((slot - scroll) * pixelsPerSample);
}

long long HorizontalMap::slotAt(int x) const
{
    if (!valid())
        return scroll;
    return truncToInt(scroll + x / pixelsPerSample);
}

int HorizontalMap::firstSlot(int left) const
{
    return int(std::clamp<long long>(slotAt(left), 0, statformat::slotsPerDay));
}

int HorizontalMap::lastSlot(int right) const
{
    return int(std::clamp<long long>(slotAt(right), 0, statformat::slotsPerDay));
}
