#include "platform/linux/gui/x11_window_manager.h"

#include <X11/Xatom.h>

namespace platform::x11 {
namespace {

// The window a format-32 WINDOW property names, or 0.
::Window WindowProperty(Display* display, ::Window window, ::Atom property) {
    ::Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    ::Window named = 0;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_WINDOW, &type, &format, &count,
                           &after, &data) == Success &&
        type == XA_WINDOW && format == 32 && count == 1)
        named = static_cast<::Window>(reinterpret_cast<unsigned long*>(data)[0]);
    if (data) XFree(data);
    return named;
}

} // namespace

bool HasLiveWindowManager(const Connection& connection) {
    Display* display = connection.Dpy();
    ::Atom check = connection.Atoms().NetSupportingWmCheck;
    ::Window named = WindowProperty(display, connection.Root(), check);
    if (!named) return false;
    ErrorTrap trap(display);
    ::Window confirmed = WindowProperty(display, named, check);
    return !trap.Failed() && confirmed == named;
}

} // namespace platform::x11
