// The screen's monitors as XRandR reports them.
#pragma once

#include <X11/Xlib.h>

#include <vector>

#include "platform/linux/gui/x11_connection.h"
#include "platform/linux/gui/x11_scale.h"

namespace platform::x11 {

struct MonitorLayout {
    std::vector<PixelRect> All; // in the server's order
    PixelRect Primary;          // the primary one, else the first, else the whole screen
};

MonitorLayout ReadMonitors(Display* display, int screen);

// The part of a monitor that panels and docks leave free (the manager's work area of the
// current desktop); the whole monitor when there is no manager or nothing is left.
PixelRect FreeArea(const Connection& connection, const PixelRect& monitor);

} // namespace platform::x11
