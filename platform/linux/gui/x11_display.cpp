// The X display: the one connection with its atoms, the screen's monitors, and the scale from
// twips and points to its pixels.
#include "platform/linux/gui/x11_display.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <locale>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/process.h"

namespace platform::x11 {

namespace {

const char* ProgramName() { return program_invocation_short_name; }

// Xlib calls this when the server goes away; returning would make Xlib exit anyway.
int OnConnectionLost(Display* display) {
    std::fprintf(stderr, "%s: lost the connection to the X display %s\n", ProgramName(),
                 DisplayString(display));
    std::exit(1);
}

// No exception may pass through Xlib: the first request the server refused waits here until
// the window's next call throws it (Connection::ThrowIfRequestRefused).
std::string refused_request;

int OnProtocolError(Display* display, XErrorEvent* error) {
    if (!refused_request.empty()) return 0;
    char text[160] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    refused_request = "X request " + std::to_string(error->request_code) + " failed: " + text;
    return 0;
}

bool trapped_error = false;

int RecordError(Display*, XErrorEvent*) {
    trapped_error = true;
    return 0;
}

// Each atom the backend names, by the member it goes into.
struct NamedAtom {
    const char* Name;
    ::Atom AtomSet::*Field;
};
constexpr NamedAtom kAtomNames[] = {
    {"WM_PROTOCOLS", &AtomSet::WmProtocols},
    {"WM_DELETE_WINDOW", &AtomSet::WmDeleteWindow},
    {"WM_STATE", &AtomSet::WmState},
    {"WM_NAME", &AtomSet::WmName},
    {"UTF8_STRING", &AtomSet::Utf8String},
    {"_NET_WM_NAME", &AtomSet::NetWmName},
    {"_NET_WM_ICON", &AtomSet::NetWmIcon},
    {"_NET_WM_PID", &AtomSet::NetWmPid},
    {"_NET_WM_STATE", &AtomSet::NetWmState},
    {"_NET_WM_STATE_ABOVE", &AtomSet::NetWmStateAbove},
    {"_NET_WM_STATE_SKIP_TASKBAR", &AtomSet::NetWmStateSkipTaskbar},
    {"_NET_WM_STATE_SKIP_PAGER", &AtomSet::NetWmStateSkipPager},
    {"_NET_WM_STATE_HIDDEN", &AtomSet::NetWmStateHidden},
    {"_NET_WM_STATE_MAXIMIZED_VERT", &AtomSet::NetWmStateMaximizedVert},
    {"_NET_WM_STATE_MAXIMIZED_HORZ", &AtomSet::NetWmStateMaximizedHorz},
    {"_NET_WM_MOVERESIZE", &AtomSet::NetWmMoveResize},
    {"_NET_SUPPORTING_WM_CHECK", &AtomSet::NetSupportingWmCheck},
    {"_NET_SUPPORTED", &AtomSet::NetSupported},
    {"_NET_WORKAREA", &AtomSet::NetWorkarea},
    {"_NET_CURRENT_DESKTOP", &AtomSet::NetCurrentDesktop},
    {"_MOTIF_WM_HINTS", &AtomSet::MotifWmHints},
};
static_assert(std::size(kAtomNames) * sizeof(::Atom) == sizeof(AtomSet), "a name for every member");

void InternAtoms(Display* display, AtomSet& atoms) {
    constexpr std::size_t count = std::size(kAtomNames);
    char* names[count];
    for (std::size_t i = 0; i < count; ++i) names[i] = const_cast<char*>(kAtomNames[i].Name);
    ::Atom interned[count];
    XInternAtoms(display, names, static_cast<int>(count), False, interned); // one round trip
    for (std::size_t i = 0; i < count; ++i) atoms.*kAtomNames[i].Field = interned[i];
}

} // namespace

Connection::Connection() {
    display_ = XOpenDisplay(nullptr);
    if (!display_) {
        const char* name = std::getenv("DISPLAY");
        throw Error(std::string("cannot open the X display \"") + (name ? name : "") + "\"");
    }
    XSetIOErrorHandler(OnConnectionLost);
    XSetErrorHandler(OnProtocolError);
    screen_ = DefaultScreen(display_);
    root_ = RootWindow(display_, screen_);
    InternAtoms(display_, atoms_);
}

Connection::~Connection() { XCloseDisplay(display_); }

void Connection::ThrowIfRequestRefused() const {
    if (!refused_request.empty()) throw Error(std::exchange(refused_request, {}));
}

std::vector<unsigned long> ReadProperty32(Display* display, ::Window window, ::Atom property, ::Atom type,
                                          long count) {
    std::vector<unsigned long> values;
    ::Atom actual = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, count, False, type, &actual, &format, &items, &after,
                           &data) == Success &&
        actual == type && format == 32) {
        // Xlib hands format-32 data out as an array of long, whatever the size of long.
        auto* longs = reinterpret_cast<unsigned long*>(data);
        values.assign(longs, longs + items);
    }
    if (data) XFree(data);
    return values;
}

void SendToRoot(const Connection& connection, ::Window window, ::Atom messageType, const std::array<long, 5>& data) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = messageType;
    event.xclient.format = 32;
    for (std::size_t i = 0; i < data.size(); ++i) event.xclient.data.l[i] = data[i];
    XSendEvent(connection.Dpy(), connection.Root(), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
}

ErrorTrap::ErrorTrap(Display* display) : display_(display) {
    XSync(display_, False);
    trapped_error = false;
    previous_ = XSetErrorHandler(RecordError);
}

bool ErrorTrap::Failed() {
    XSync(display_, False);
    return trapped_error;
}

ErrorTrap::~ErrorTrap() {
    XSync(display_, False);
    XSetErrorHandler(previous_);
}

int Scale::ToPixels(int twips) const { return PixelsFromTwips(twips, dpi_); }

int Scale::ToTwips(int pixels) const { return TwipsFromPixels(pixels, dpi_); }

PixelRect Scale::ToPixels(const TwipsRect& rect) const {
    return {ToPixels(rect.Left), ToPixels(rect.Top), ToPixels(rect.Width), ToPixels(rect.Height)};
}

TwipsRect Scale::ToTwips(const PixelRect& rect) const {
    return TwipsRectFromPixels(rect.X, rect.Y, rect.Width, rect.Height, dpi_);
}

PixelRect Intersection(const PixelRect& a, const PixelRect& b) {
    const int left = std::max(a.X, b.X), top = std::max(a.Y, b.Y);
    const int right = std::min(a.X + a.Width, b.X + b.Width), bottom = std::min(a.Y + a.Height, b.Y + b.Height);
    if (right <= left || bottom <= top) return {left, top, 0, 0};
    return {left, top, right - left, bottom - top};
}

double DpiFromResources(const char* resources) {
    constexpr double fallback = 96.0;
    if (!resources) return fallback;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    if (!database) return fallback;
    double dpi = fallback;
    char* type = nullptr;
    XrmValue value{};
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr) {
        std::string text(value.addr, value.size);
        std::istringstream in(text);
        in.imbue(std::locale::classic());
        double parsed = 0;
        // Beyond these bounds the value is a typing error, not a screen.
        if (in >> parsed && parsed >= 24.0 && parsed <= 960.0) dpi = parsed;
    }
    XrmDestroyDatabase(database);
    return dpi;
}

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
    const std::vector<unsigned long> values = ReadProperty32(display, window, property, XA_CARDINAL, count);
    return std::vector<long>(values.begin(), values.end());
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
