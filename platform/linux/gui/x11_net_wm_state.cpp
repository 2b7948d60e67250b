#include "platform/linux/gui/x11_net_wm_state.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <vector>

namespace platform::x11 {
namespace {

constexpr long kRemove = 0;
constexpr long kAdd = 1;
constexpr long kFromApplication = 1;

std::vector<::Atom> ReadAtoms(Display* display, ::Window window, ::Atom property) {
    std::vector<::Atom> atoms;
    ::Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 64, False, XA_ATOM, &type, &format, &count, &after,
                           &data) == Success &&
        type == XA_ATOM && format == 32) {
        auto* values = reinterpret_cast<unsigned long*>(data);
        atoms.assign(values, values + count);
    }
    if (data) XFree(data);
    return atoms;
}

bool IsIconic(const Connection& connection, ::Window window) {
    ::Atom wm_state = connection.Atoms().WmState;
    ::Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool iconic = false;
    if (XGetWindowProperty(connection.Dpy(), window, wm_state, 0, 2, False, wm_state, &type, &format, &count,
                           &after, &data) == Success &&
        type == wm_state && format == 32 && count >= 1)
        iconic = reinterpret_cast<unsigned long*>(data)[0] == IconicState;
    if (data) XFree(data);
    return iconic;
}

} // namespace

void WriteInitialStates(const Connection& connection, ::Window window, bool above) {
    const AtomSet& atoms = connection.Atoms();
    std::vector<::Atom> states = {atoms.NetWmStateSkipTaskbar, atoms.NetWmStateSkipPager};
    if (above) states.push_back(atoms.NetWmStateAbove);
    XChangeProperty(connection.Dpy(), window, atoms.NetWmState, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(states.data()), static_cast<int>(states.size()));
}

void RequestState(const Connection& connection, ::Window window, bool add, ::Atom state) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = connection.Atoms().NetWmState;
    event.xclient.format = 32;
    event.xclient.data.l[0] = add ? kAdd : kRemove;
    event.xclient.data.l[1] = static_cast<long>(state);
    event.xclient.data.l[2] = 0;
    event.xclient.data.l[3] = kFromApplication;
    XSendEvent(connection.Dpy(), connection.Root(), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
}

WindowState ReadWindowState(const Connection& connection, ::Window window) {
    const AtomSet& atoms = connection.Atoms();
    if (IsIconic(connection, window)) return WindowState::Minimized;
    bool vertical = false, horizontal = false;
    for (::Atom state : ReadAtoms(connection.Dpy(), window, atoms.NetWmState)) {
        if (state == atoms.NetWmStateHidden) return WindowState::Minimized;
        vertical |= state == atoms.NetWmStateMaximizedVert;
        horizontal |= state == atoms.NetWmStateMaximizedHorz;
    }
    return vertical && horizontal ? WindowState::Maximized : WindowState::Normal;
}

} // namespace platform::x11
