#include "viewer/navigation.h"

#include <algorithm>

using statformat::slotsPerDay;

static double zoomFactor(int zoom)
{
    return zoom * (1.0 / slotsPerDay);
}

int ViewNavigation::scrollPositionMaximum() const
{
    return std::max(0, m_scrollMax - m_page + 1);
}

int ViewNavigation::fullScrollMaximum() const
{
    // The visible slots are W * 8640 / Z; one extra page lets the last slot
    // reach the left part of the chart.
    return truncToInt(slotsPerDay - double(m_width) * slotsPerDay / m_zoom + m_width);
}

void ViewNavigation::setScrollRange(int maximum, int page)
{
    m_scrollMax = maximum;
    m_page = std::max(1, page);
    m_scroll = std::clamp(m_scroll, 0, scrollPositionMaximum());
}

void ViewNavigation::resetForLoad(int chartWidth)
{
    m_width = std::clamp(chartWidth, 1, slotsPerDay);
    m_zoom = m_width;
    m_pps = zoomFactor(m_zoom);
    m_scroll = 0;
    setScrollRange(fullScrollMaximum(), m_width);
    m_prevScrollMax = m_scrollMax;
}

void ViewNavigation::afterBuild()
{
    setScrollRange(fullScrollMaximum(), m_width);
    m_pps = zoomFactor(m_zoom);
}

void ViewNavigation::resize(int chartWidth)
{
    m_width = std::clamp(chartWidth, 1, slotsPerDay);
    // Keep the zoom factor and the scroll range true to the new width, so
    // the whole day stays reachable after the window changes size.
    m_zoom = std::max(m_zoom, m_width);
    m_pps = zoomFactor(m_zoom);
    setScrollRange(fullScrollMaximum(), m_width);
}

bool ViewNavigation::setZoom(int zoom)
{
    zoom = std::clamp(zoom, m_width, int(slotsPerDay));
    if (zoom == m_zoom)
        return false;
    m_zoom = zoom;
    m_pps = zoomFactor(m_zoom);
    setScrollRange(fullScrollMaximum(), m_width);
    // Shift by half the change of the range: the slot in the middle of the
    // charts stays in the middle.
    m_scroll = std::clamp(m_scroll + (m_scrollMax - m_prevScrollMax) / 2, 0, scrollPositionMaximum());
    m_prevScrollMax = m_scrollMax;
    return true;
}

bool ViewNavigation::setScroll(int position)
{
    position = std::clamp(position, 0, scrollPositionMaximum());
    if (position == m_scroll)
        return false;
    m_scroll = position;
    return true;
}

bool ViewNavigation::wheel(int delta, bool ctrl)
{
    return ctrl ? setZoom(m_zoom + delta) : setScroll(m_scroll + delta);
}

void ViewNavigation::placeCursor(int x)
{
    setCursorSlot(int(std::clamp<long long>(map().slotAt(x), 0, slotsPerDay - 1)));
}

void ViewNavigation::setCursorSlot(int slot)
{
    m_cursorSlot = std::clamp(slot, 0, slotsPerDay - 1);
}
