#include "platform/linux/gui/x11_window_properties.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include "platform/linux/gui/x11_icon.h"

namespace platform::x11 {
namespace {

// The layout of _MOTIF_WM_HINTS: flags, functions, decorations, input mode, state.
struct MotifHints {
    unsigned long Flags;
    unsigned long Functions;
    unsigned long Decorations;
    long InputMode;
    unsigned long State;
};
constexpr unsigned long kMotifHintsDecorations = 1ul << 1;

} // namespace

void SetTitle(const Connection& connection, ::Window window, const std::string& title) {
    const AtomSet& atoms = connection.Atoms();
    XTextProperty text{};
    char* list[] = {const_cast<char*>(title.c_str())};
    // Latin-1 or compound text for old tools, whatever the title's script.
    if (Xutf8TextListToTextProperty(connection.Dpy(), list, 1, XStdICCTextStyle, &text) >= Success) {
        XSetWMName(connection.Dpy(), window, &text);
        XFree(text.value);
    }
    XChangeProperty(connection.Dpy(), window, atoms.NetWmName, atoms.Utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
}

void SetIdentity(const Connection& connection, ::Window window) {
    Display* display = connection.Dpy();
    const AtomSet& atoms = connection.Atoms();

    XClassHint class_hint{};
    class_hint.res_name = program_invocation_short_name;
    class_hint.res_class = const_cast<char*>(OSTRAVEL_PRODUCT_NAME);
    XSetClassHint(display, window, &class_hint);

    ::Atom protocols[] = {atoms.WmDeleteWindow};
    XSetWMProtocols(display, window, protocols, 1);

    XWMHints hints{};
    hints.flags = InputHint | StateHint;
    hints.input = True;
    hints.initial_state = NormalState;
    XSetWMHints(display, window, &hints);

    long pid = static_cast<long>(getpid());
    XChangeProperty(display, window, atoms.NetWmPid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);

    MotifHints motif{kMotifHintsDecorations, 0, 0, 0, 0};
    XChangeProperty(display, window, atoms.MotifWmHints, atoms.MotifWmHints, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&motif), 5);
}

void SetPlacementHints(const Connection& connection, ::Window window, const PixelRect& placement) {
    XSizeHints hints{};
    hints.flags = USPosition | PPosition | PSize | PMinSize | PMaxSize | PWinGravity;
    hints.x = placement.X;
    hints.y = placement.Y;
    hints.width = hints.min_width = hints.max_width = placement.Width;
    hints.height = hints.min_height = hints.max_height = placement.Height;
    hints.win_gravity = NorthWestGravity;
    XSetWMNormalHints(connection.Dpy(), window, &hints);
}

void SetIcon(const Connection& connection, ::Window window, const std::vector<const Image*>& icons) {
    std::vector<long> data = NetWmIconData(icons);
    if (data.empty()) return;
    XChangeProperty(connection.Dpy(), window, connection.Atoms().NetWmIcon, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
}

} // namespace platform::x11
