// The details tip's look on the Linux desktops, X11 and Wayland alike: the lines one under the
// other in a pale-yellow frame, laid out the same at every dpi.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/toolkit.h"

namespace platform {

class TipLayout {
public:
    static const FontSpec kFont;

    // Lays `lines` out at `dpi`: `lineHeight` and `textWidth` measure kFont in pixels there.
    TipLayout(const std::vector<std::string>& lines, double dpi, int lineHeight,
              const std::function<int(const std::string&)>& textWidth);
    // The surface points into the layout.
    TipLayout(const TipLayout&) = delete;
    TipLayout& operator=(const TipLayout&) = delete;

    const Surface& Contents() const { return surface_; }
    int Width() const { return width_; } // pixels at the dpi
    int Height() const { return height_; }

private:
    Shape frame_;
    std::vector<Label> labels_;
    Surface surface_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace platform
