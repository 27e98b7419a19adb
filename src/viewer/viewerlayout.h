#pragma once

// Fixed measures of the viewer's layout, in pixels.
namespace viewerlayout {

constexpr int axisWidth = 42;
constexpr int chartLeft = 43;          // a 1-pixel border and the axis panel
constexpr int rulerHeight = 55;
constexpr int captionHeight = 21;      // caption bar of a roll-up panel
constexpr int stateChartHeight = 214;  // state panel: caption + 215, less its border
constexpr int sidePanelWidth = 145;

}  // namespace viewerlayout
