// The screen's monitors as XRandR reports them.
#pragma once

#include <X11/Xlib.h>

#include <vector>

#include "platform/linux/gui/x11_scale.h"

namespace platform::x11 {

struct MonitorLayout {
    std::vector<PixelRect> All; // in the server's order
    PixelRect Primary;          // the primary one, else the first, else the whole screen
};

MonitorLayout ReadMonitors(Display* display, int screen);

} // namespace platform::x11
