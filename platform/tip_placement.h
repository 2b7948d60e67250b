// Where the details tip goes beside the window, in a backend's screen pixels.
#pragma once

#include <algorithm>

namespace platform {

struct ScreenArea {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};

// Where a tip of width x height goes beside `panel`: below it, else above, else right of it,
// else left, the first side where it fits on `monitor`, moved along that side to stay on the
// monitor. Where it fits on no side, it goes below or above, wherever there is more room.
inline ScreenArea TipArea(const ScreenArea& panel, int width, int height, const ScreenArea& monitor) {
    constexpr int kGap = 2; // pixels between the panel and the tip
    const auto within = [](int value, int low, int size, int room) {
        return std::max(low, std::min(value, low + room - size));
    };
    const int right = monitor.X + monitor.Width;
    const int bottom = monitor.Y + monitor.Height;
    const int alongX = within(panel.X, monitor.X, width, monitor.Width);
    const int alongY = within(panel.Y, monitor.Y, height, monitor.Height);
    const int below = panel.Y + panel.Height + kGap;
    const int above = panel.Y - kGap - height;
    if (below + height <= bottom) return {alongX, below, width, height};
    if (above >= monitor.Y) return {alongX, above, width, height};
    const int after = panel.X + panel.Width + kGap;
    const int before = panel.X - kGap - width;
    if (after + width <= right) return {after, alongY, width, height};
    if (before >= monitor.X) return {before, alongY, width, height};
    const bool moreBelow = bottom - below >= panel.Y - monitor.Y;
    return {alongX, moreBelow ? below : above, width, height};
}

} // namespace platform
