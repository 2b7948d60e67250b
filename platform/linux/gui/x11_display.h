// The X display: the one connection with its atoms, the screen's monitors, and the scale from
// twips and points to its pixels.
#pragma once

#include <X11/Xlib.h>

#include <array>
#include <vector>

#include "platform/toolkit.h"
#include "platform/twips.h"

namespace platform::x11 {

// The one connection to the X server that the window program uses, with its atoms.

// Every atom the backend names, interned in one round trip, each into its member by name.
struct AtomSet {
    Atom WmProtocols = None, WmDeleteWindow = None, WmState = None, WmName = None, Utf8String = None;
    Atom NetWmName = None, NetWmIcon = None, NetWmPid = None, NetWmState = None, NetWmStateAbove = None,
         NetWmStateSkipTaskbar = None, NetWmStateSkipPager = None, NetWmStateHidden = None,
         NetWmStateMaximizedVert = None, NetWmStateMaximizedHorz = None, NetWmMoveResize = None,
         NetSupportingWmCheck = None, NetSupported = None, NetWorkarea = None, NetCurrentDesktop = None,
         MotifWmHints = None;
};

class Connection {
public:
    // Throws platform::Error naming the display when it can't be opened.
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Display* Dpy() const { return display_; }
    int Screen() const { return screen_; }
    ::Window Root() const { return root_; }
    const AtomSet& Atoms() const { return atoms_; }
    // Throws platform::Error for the first request the server refused since the last call,
    // among the answers read so far (a round trip reads them all).
    void ThrowIfRequestRefused() const;

private:
    Display* display_ = nullptr;
    int screen_ = 0;
    ::Window root_ = 0;
    AtomSet atoms_{};
};

// Up to `count` values of a format-32 property of the given type; empty when the window has
// none of that type.
std::vector<unsigned long> ReadProperty32(Display* display, ::Window window, ::Atom property, ::Atom type,
                                          long count);

// A client message about `window` to the root window, where the window manager takes requests.
void SendToRoot(const Connection& connection, ::Window window, ::Atom messageType, const std::array<long, 5>& data);

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

// Twips (1440 per inch) and font points to pixels at the display's dpi.
struct PixelRect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};

// The common part of two rectangles; zero-sized when they don't meet.
PixelRect Intersection(const PixelRect& a, const PixelRect& b);

class Scale {
public:
    explicit Scale(double dpi) : dpi_(dpi) {}
    double Dpi() const { return dpi_; }
    int ToPixels(int twips) const;
    int ToTwips(int pixels) const;
    PixelRect ToPixels(const TwipsRect& rect) const;
    TwipsRect ToTwips(const PixelRect& rect) const;
    double FontPixels(double points) const { return platform::FontPixels(points, dpi_); }

private:
    double dpi_;
};

// The dpi that a resource-manager string sets with Xft.dpi; 96 when absent or unusable.
double DpiFromResources(const char* resources);

// The screen's monitors as XRandR reports them.
struct MonitorLayout {
    std::vector<PixelRect> All; // in the server's order
    PixelRect Primary;          // the primary one, else the first, else the whole screen
};

MonitorLayout ReadMonitors(Display* display, int screen);

// The part of a monitor that panels and docks leave free (the manager's work area of the
// current desktop); the whole monitor when there is no manager or nothing is left.
PixelRect FreeArea(const Connection& connection, const PixelRect& monitor);

} // namespace platform::x11
