#include "platform/linux/gui/x11_monitors.h"

#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>

#include <vector>

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

namespace {

std::vector<long> Cardinals(Display* display, ::Window window, ::Atom property, long count) {
    std::vector<long> values;
    ::Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, count, False, XA_CARDINAL, &type, &format, &items,
                           &after, &data) == Success &&
        type == XA_CARDINAL && format == 32) {
        auto* longs = reinterpret_cast<long*>(data);
        values.assign(longs, longs + items);
    }
    if (data) XFree(data);
    return values;
}

} // namespace

PixelRect FreeArea(const Connection& connection, const PixelRect& monitor) {
    Display* display = connection.Dpy();
    std::vector<long> desktop = Cardinals(display, connection.Root(), connection.Atoms().NetCurrentDesktop, 1);
    const long current = desktop.empty() ? 0 : desktop[0];
    if (current < 0 || current > 1023) return monitor;
    // Four values (x, y, width, height) per desktop.
    std::vector<long> areas = Cardinals(display, connection.Root(), connection.Atoms().NetWorkarea, 4 * (current + 1));
    if (areas.size() < static_cast<std::size_t>(4 * (current + 1))) return monitor;
    const long* area = &areas[static_cast<std::size_t>(4 * current)];
    PixelRect free = Intersection(monitor, {static_cast<int>(area[0]), static_cast<int>(area[1]),
                                            static_cast<int>(area[2]), static_cast<int>(area[3])});
    return free.Width > 0 && free.Height > 0 ? free : monitor;
}

} // namespace platform::x11
