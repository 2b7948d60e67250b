#include "platform/linux/gui/x11_monitors.h"

#include <X11/extensions/Xrandr.h>

namespace platform::x11 {

MonitorLayout ReadMonitors(Display* display, int screen) {
    MonitorLayout layout;
    int event_base = 0, error_base = 0;
    if (XRRQueryExtension(display, &event_base, &error_base)) {
        int count = 0;
        XRRMonitorInfo* monitors = XRRGetMonitors(display, RootWindow(display, screen), True, &count);
        for (int i = 0; i < count; ++i) {
            PixelRect rect{monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height};
            layout.All.push_back(rect);
            if (monitors[i].primary || i == 0) layout.Primary = rect;
        }
        if (monitors) XRRFreeMonitors(monitors);
    }
    if (layout.All.empty()) {
        // A server without RandR has one monitor: the screen.
        layout.Primary = {0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
        layout.All.push_back(layout.Primary);
    }
    return layout;
}

} // namespace platform::x11
