#include "platform/linux/gui/x11_connection.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace platform::x11 {
namespace {

const char* ProgramName() { return program_invocation_short_name; }

// Xlib calls this when the server goes away; returning would make Xlib exit anyway.
int OnConnectionLost(Display* display) {
    std::fprintf(stderr, "%s: lost the connection to the X display %s\n", ProgramName(),
                 DisplayString(display));
    std::exit(1);
}

int OnProtocolError(Display* display, XErrorEvent* error) {
    char text[160] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "%s: X request %d failed: %s\n", ProgramName(), error->request_code, text);
    std::exit(1);
}

bool trapped_error = false;

int RecordError(Display*, XErrorEvent*) {
    trapped_error = true;
    return 0;
}

void InternAtoms(Display* display, AtomSet& atoms) {
    // Same order as the fields of AtomSet.
    char* names[] = {
        const_cast<char*>("WM_PROTOCOLS"),
        const_cast<char*>("WM_DELETE_WINDOW"),
        const_cast<char*>("WM_STATE"),
        const_cast<char*>("WM_NAME"),
        const_cast<char*>("UTF8_STRING"),
        const_cast<char*>("_NET_WM_NAME"),
        const_cast<char*>("_NET_WM_ICON"),
        const_cast<char*>("_NET_WM_PID"),
        const_cast<char*>("_NET_WM_STATE"),
        const_cast<char*>("_NET_WM_STATE_ABOVE"),
        const_cast<char*>("_NET_WM_STATE_SKIP_TASKBAR"),
        const_cast<char*>("_NET_WM_STATE_SKIP_PAGER"),
        const_cast<char*>("_NET_WM_STATE_HIDDEN"),
        const_cast<char*>("_NET_WM_STATE_MAXIMIZED_VERT"),
        const_cast<char*>("_NET_WM_STATE_MAXIMIZED_HORZ"),
        const_cast<char*>("_NET_WM_MOVERESIZE"),
        const_cast<char*>("_NET_SUPPORTING_WM_CHECK"),
        const_cast<char*>("_NET_SUPPORTED"),
        const_cast<char*>("_NET_WORKAREA"),
        const_cast<char*>("_NET_CURRENT_DESKTOP"),
        const_cast<char*>("_MOTIF_WM_HINTS"),
    };
    constexpr int count = sizeof names / sizeof names[0];
    static_assert(count * sizeof(::Atom) == sizeof(AtomSet), "one name per atom");
    ::Atom interned[count];
    XInternAtoms(display, names, count, False, interned);
    ::Atom* fields = &atoms.WmProtocols;
    for (int i = 0; i < count; ++i) fields[i] = interned[i];
}

} // namespace

Connection::Connection() {
    display_ = XOpenDisplay(nullptr);
    if (!display_) {
        const char* name = std::getenv("DISPLAY");
        throw std::runtime_error(std::string("cannot open the X display \"") + (name ? name : "") + "\"");
    }
    XSetIOErrorHandler(OnConnectionLost);
    XSetErrorHandler(OnProtocolError);
    screen_ = DefaultScreen(display_);
    root_ = RootWindow(display_, screen_);
    InternAtoms(display_, atoms_);
}

Connection::~Connection() { XCloseDisplay(display_); }

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

} // namespace platform::x11
