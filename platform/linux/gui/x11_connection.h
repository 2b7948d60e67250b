// The one connection to the X server that the window program uses, with its atoms.
#pragma once

#include <X11/Xlib.h>

namespace platform::x11 {

// Every atom the backend names, interned in one round trip.
struct AtomSet {
    Atom WmProtocols, WmDeleteWindow, WmState, WmName, Utf8String;
    Atom NetWmName, NetWmIcon, NetWmPid, NetWmState, NetWmStateAbove, NetWmStateSkipTaskbar,
        NetWmStateSkipPager, NetWmStateHidden, NetWmStateMaximizedVert, NetWmStateMaximizedHorz,
        NetWmMoveResize, NetSupportingWmCheck, NetSupported, NetWorkarea, NetCurrentDesktop, MotifWmHints;
};

class Connection {
public:
    // Throws std::runtime_error naming the display when it can't be opened.
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Display* Dpy() const { return display_; }
    int Screen() const { return screen_; }
    ::Window Root() const { return root_; }
    const AtomSet& Atoms() const { return atoms_; }

private:
    Display* display_ = nullptr;
    int screen_ = 0;
    ::Window root_ = 0;
    AtomSet atoms_{};
};

// Collects the protocol errors of the requests made while it lives instead of ending
// the program: for requests about windows that may be gone (another client's window).
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display);
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;
    // Waits for the server's answers to the trapped requests; true if any failed.
    bool Failed();

private:
    Display* display_;
    XErrorHandler previous_;
};

} // namespace platform::x11
