#pragma once
#include "viewer/viewmapping.h"

// Zoom, scroll and cursor of the viewer, as plain numbers; the window mirrors
// them into its track bar and scroll bar.
//
// Zoom Z is the width in pixels the whole day would take (W .. 8640, W being
// the chart width). The scroll bar works like a page-sized scroll bar: a
// maximum M and a page W, so the position P runs 0 .. M - W + 1.
class ViewNavigation
{
public:
    int chartWidth() const { return m_width; }
    int zoom() const { return m_zoom; }
    int zoomMinimum() const { return m_width; }
    static constexpr int zoomMaximum() { return statformat::slotsPerDay; }
    int scroll() const { return m_scroll; }
    int scrollMaximum() const { return m_scrollMax; }
    int pageSize() const { return m_page; }
    int scrollPositionMaximum() const;   // M - page + 1, never below 0
    int previousScrollMaximum() const { return m_prevScrollMax; }
    double pixelsPerSample() const { return m_pps; }

    HorizontalMap map() const { return {m_scroll, m_pps}; }

    // A load: zoom to the chart width (whole day), scroll to 0.
    void resetForLoad(int chartWidth);

    // After each day-model build: scroll range and zoom factor from Z.
    void afterBuild();

    // Chart width changed (also on every activation of the window).
    void resize(int chartWidth);

    // The track bar and the scroll bar: values are held to their ranges.
    // True when the view moved (charts out of date).
    bool setZoom(int zoom);
    bool setScroll(int position);

    // Mouse wheel: 120 per notch; Ctrl zooms, otherwise scrolls.
    bool wheel(int delta, bool ctrl);

    // The cursor: the slot under column x, held to 0 .. 8639.
    int cursorSlot() const { return m_cursorSlot; }
    void placeCursor(int x);
    void setCursorSlot(int slot);
    int cursorColumn() const { return map().x(m_cursorSlot); }

private:
    void setScrollRange(int maximum, int page);
    int fullScrollMaximum() const;

    int m_width = 1;
    int m_zoom = 1;
    int m_scroll = 0;
    int m_scrollMax = 0;
    int m_page = 1;
    int m_prevScrollMax = 0;
    double m_pps = 1.0 / statformat::slotsPerDay;
    int m_cursorSlot = 0;
};
