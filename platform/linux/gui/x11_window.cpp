#include "platform/linux/gui/x11_window.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <stdexcept>

#include "platform/linux/gui/x11_buttons.h"
#include "platform/linux/gui/x11_monitors.h"
#include "platform/linux/gui/x11_move.h"
#include "platform/linux/gui/x11_net_wm_state.h"
#include "platform/linux/gui/x11_surface_digest.h"
#include "platform/linux/gui/x11_window_manager.h"
#include "platform/linux/gui/x11_window_properties.h"

namespace platform::x11 {

X11Window::X11Window(const WindowDesign& request)
    : scale_(DpiFromResources(XResourceManagerString(connection_.Dpy()))), contents_(request.Contents) {
    Display* display = connection_.Dpy();
    PixelRect placement = scale_.ToPixels(request.Placement);
    width_ = placement.Width > 0 ? placement.Width : 1;
    height_ = placement.Height > 0 ? placement.Height : 1;

    XSetWindowAttributes attributes{};
    // No background: the server never clears the window, so exposure shows no blank flash before the copy.
    attributes.background_pixmap = None;
    attributes.event_mask = ExposureMask | ButtonPressMask | StructureNotifyMask | VisibilityChangeMask;
    window_ = XCreateWindow(display, connection_.Root(), placement.X, placement.Y, width_, height_, 0,
                            CopyFromParent, InputOutput, CopyFromParent, CWBackPixmap | CWEventMask, &attributes);
    SetTitle(connection_, window_, request.Title);
    SetIdentity(connection_, window_);
    SetPlacementHints(connection_, window_, {placement.X, placement.Y, width_, height_});
    SetIcon(connection_, window_, request.Icons);
    WriteInitialStates(connection_, window_, topmost_);
    painter_ = std::make_unique<Painter>(display, connection_.Screen(), window_, scale_);
    try {
        keyboard_ = std::make_unique<linux_detail::X11Keyboard>(display);
    } catch (const std::runtime_error& error) {
        // The window still works; only the polled hotkeys are lost.
        std::fprintf(stderr, "%s: hotkeys unavailable: %s\n", program_invocation_short_name, error.what());
    }
}

X11Window::~X11Window() {
    keyboard_.reset();
    painter_.reset();
    XDestroyWindow(connection_.Dpy(), window_);
}

void X11Window::Show() {
    shown_ = true;
    XMapWindow(connection_.Dpy(), window_);
    XFlush(connection_.Dpy()); // the map goes out before the fonts are looked up
    // Without a manager the window is viewable at once and takes the first picture now;
    // with one, the exposure after the manager maps it brings the picture.
    Repaint();
    XFlush(connection_.Dpy());
}

void X11Window::Invalidate() { invalidated_ = true; }

void X11Window::DoEvents(WindowEvents& events) {
    Display* display = connection_.Dpy();
    if (keyboard_) keyboard_->NextPoll(); // the next turn's keys read a fresh keyboard
    while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        if (keyboard_ && keyboard_->TakeEvent(event)) continue;
        Handle(event, events);
    }
    if (exposed_ || (invalidated_ && contents_ && SurfaceDigest(*contents_) != drawn_)) {
        Repaint();
        XFlush(display);
    }
    invalidated_ = false;
}

void X11Window::Repaint() {
    exposed_ = false;
    if (!contents_) return;
    drawn_ = SurfaceDigest(*contents_);
    painter_->Paint(*contents_, width_, height_);
}

void X11Window::Handle(XEvent& event, WindowEvents& events) {
    const AtomSet& atoms = connection_.Atoms();
    switch (event.type) {
    case Expose:
        exposed_ = true;
        break;
    case ConfigureNotify:
        if (event.xconfigure.window == window_ &&
            (event.xconfigure.width != width_ || event.xconfigure.height != height_)) {
            width_ = event.xconfigure.width;
            height_ = event.xconfigure.height;
            exposed_ = true;
        }
        break;
    case ButtonPress:
        if (int button = ButtonCodeOfX(event.xbutton.button))
            events.MouseDown(button, ShiftOfXState(event.xbutton.state), scale_.ToTwips(event.xbutton.x),
                             scale_.ToTwips(event.xbutton.y));
        break;
    case ClientMessage:
        if (event.xclient.message_type == atoms.WmProtocols &&
            static_cast<::Atom>(event.xclient.data.l[0]) == atoms.WmDeleteWindow)
            events.CloseRequested();
        break;
    case VisibilityNotify:
        KeepOnTop(event.xvisibility);
        break;
    default:
        break;
    }
}

WindowState X11Window::State() { return ReadWindowState(connection_, window_); }

TwipsRect X11Window::Placement() {
    int x = 0, y = 0;
    ::Window child = 0;
    // The manager's frame is the parent after reparenting: only the root gives screen positions.
    XTranslateCoordinates(connection_.Dpy(), window_, connection_.Root(), 0, 0, &x, &y, &child);
    XWindowAttributes attributes{};
    XGetWindowAttributes(connection_.Dpy(), window_, &attributes);
    return scale_.ToTwips(PixelRect{x, y, attributes.width, attributes.height});
}

void X11Window::SetPlacement(const TwipsRect& placement) {
    PixelRect pixels = scale_.ToPixels(placement);
    if (pixels.Width < 1) pixels.Width = 1;
    if (pixels.Height < 1) pixels.Height = 1;
    // The fixed size moves with the new size, or the manager would refuse it.
    SetPlacementHints(connection_, window_, pixels);
    XMoveResizeWindow(connection_.Dpy(), window_, pixels.X, pixels.Y, pixels.Width, pixels.Height);
    if (pixels.Width != width_ || pixels.Height != height_) {
        width_ = pixels.Width;
        height_ = pixels.Height;
        exposed_ = true;
    }
    XFlush(connection_.Dpy());
}

TwipsRect X11Window::PrimaryScreen() {
    PixelRect primary = ReadMonitors(connection_.Dpy(), connection_.Screen()).Primary;
    return scale_.ToTwips(FreeArea(connection_, primary));
}

std::vector<TwipsRect> X11Window::Monitors() {
    std::vector<TwipsRect> monitors;
    for (const PixelRect& monitor : ReadMonitors(connection_.Dpy(), connection_.Screen()).All)
        monitors.push_back(scale_.ToTwips(monitor));
    return monitors;
}

PixelSize X11Window::LargestSize() {
    // Sides are 16-bit in the protocol, and the server refuses pictures of 32768 px or more.
    constexpr int kLargestSide = 32767;
    Display* display = connection_.Dpy();
    return {std::min(kLargestSide, DisplayWidth(display, connection_.Screen())),
            std::min(kLargestSide, DisplayHeight(display, connection_.Screen()))};
}

void X11Window::SetTopmost(bool topmost) {
    topmost_ = topmost;
    if (!shown_) {
        // The manager reads the property when it first maps the window.
        WriteInitialStates(connection_, window_, topmost_);
        return;
    }
    if (HasLiveWindowManager(connection_))
        RequestState(connection_, window_, topmost_, connection_.Atoms().NetWmStateAbove);
    else if (topmost_)
        XRaiseWindow(connection_.Dpy(), window_);
    XFlush(connection_.Dpy());
}

void X11Window::KeepOnTop(const XVisibilityEvent& visibility) {
    // Without a manager nobody keeps a window above the others: it raises itself when covered.
    if (!topmost_ || visibility.state == VisibilityUnobscured) return;
    if (HasLiveWindowManager(connection_)) return;
    XRaiseWindow(connection_.Dpy(), window_);
    XFlush(connection_.Dpy());
}

void X11Window::ReleaseCapture() {
    XUngrabPointer(connection_.Dpy(), CurrentTime);
    XFlush(connection_.Dpy());
}

void X11Window::BeginMove(int button) {
    unsigned int x_button = XButtonOfCode(button);
    if (!x_button) return;
    if (HasLiveWindowManager(connection_))
        AskManagerToMove(connection_, window_, x_button);
    else
        FollowPointer(connection_, window_, x_button);
}

} // namespace platform::x11

std::unique_ptr<platform::Window> platform::OpenWindow(const WindowDesign& request) {
    return std::make_unique<x11::X11Window>(request);
}
