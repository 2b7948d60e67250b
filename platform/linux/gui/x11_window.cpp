// platform::Window on X11: one managed top-level window without frame or taskbar entry, with
// its properties, the window manager's states, staying on top, moves and pointer buttons.
#include "platform/linux/gui/x11_window.h"

#include <X11/X.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <poll.h>
#include <unistd.h>
#include <vector>

#include "platform/linux/gui/x11_display.h"
#include "platform/linux/gui/x11_painter.h"
#include "platform/process.h"
#include "platform/toolkit.h"
#include "platform/version.h"

namespace platform::x11 {

X11Window::X11Window(const WindowDesign& request, const WarningHandler& warn)
    : scale_(DpiFromResources(XResourceManagerString(connection_.Dpy()))),
      title_(request.Title),
      icons_(request.Icons),
      contents_(request.Contents) {
    SetPending(scale_.ToPixels(request.Placement));
    try {
        keyboard_ = std::make_unique<X11Keyboard>(connection_.Dpy(), request.Keys);
    } catch (const Error& error) {
        // The window still works; only the polled hotkeys are lost.
        if (warn) warn(std::string("hotkeys unavailable: ") + error.what());
    }
}

void X11Window::SetPending(PixelRect placement) {
    placement.Width = std::max(1, placement.Width);
    placement.Height = std::max(1, placement.Height);
    pending_ = placement;
    askedWidth_ = width_ = placement.Width;
    askedHeight_ = height_ = placement.Height;
}

// The X window with its properties, made when first shown, where it is to be: a manager that
// places new windows itself (weston) maps one where it saw it created, whatever moves came
// before the map.
void X11Window::Create() {
    Display* display = connection_.Dpy();
    const PixelRect& placement = pending_;

    XSetWindowAttributes attributes{};
    // No background: the server never clears the window, so exposure shows no blank flash before the copy.
    attributes.background_pixmap = None;
    // Releases too: a press that waited in the queue may find its button already up, and the
    // release then tells where the pointer went.
    attributes.event_mask =
        ExposureMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask | VisibilityChangeMask |
        EnterWindowMask | LeaveWindowMask;
    window_ = XCreateWindow(display, connection_.Root(), placement.X, placement.Y, width_, height_, 0,
                            CopyFromParent, InputOutput, CopyFromParent, CWBackPixmap | CWEventMask, &attributes);
    SetTitle(connection_, window_, title_);
    SetIdentity(connection_, window_);
    SetPlacementHints(connection_, window_, {placement.X, placement.Y, width_, height_});
    SetIcon(connection_, window_, icons_);
    WriteInitialStates(connection_, window_, topmost_);
    painter_ = std::make_unique<Painter>(display, connection_.Screen(), window_, scale_);
    XSync(display, False); // a window the server refused is a failed set-up
    connection_.ThrowIfRequestRefused();
}

X11Window::~X11Window() {
    tip_.reset();
    keyboard_.reset();
    painter_.reset();
    if (window_) XDestroyWindow(connection_.Dpy(), window_);
}

void X11Window::Show() {
    if (!window_) Create();
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
    // The turn's key poll has just read the connection: when it left nothing queued, an idle
    // pass reads nothing more.
    const bool read = keyboard_ && keyboard_->ReadInThisPoll();
    if (keyboard_) keyboard_->NextPoll(); // the next turn's keys read a fresh keyboard
    if (!read || XEventsQueued(display, QueuedAlready) > 0) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (keyboard_ && keyboard_->TakeEvent(event)) continue;
            Handle(event, events);
        }
    }
    connection_.ThrowIfRequestRefused();
    if (exposed_ || invalidated_) {
        Repaint();
        XFlush(display);
    }
    invalidated_ = false;
}

void X11Window::Repaint() {
    exposed_ = false;
    if (!contents_) return;
    painter_->Paint(*contents_, width_, height_);
}

void X11Window::Handle(XEvent& event, WindowEvents& events) {
    const AtomSet& atoms = connection_.Atoms();
    if (tip_ && tip_->Take(event)) return;
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
        HandlePress(event.xbutton, events);
        break;
    case EnterNotify:
        // The end of a grab (a drag's) brings the pointer back without its having come back.
        if (event.xcrossing.mode == NotifyNormal) events.PointerEntered();
        break;
    case LeaveNotify:
        events.PointerLeft();
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

void X11Window::HandlePress(const XButtonEvent& press, WindowEvents& events) {
    const int button = ButtonCodeOfX(press.button);
    if (!button) return;
    // A move the press starts begins where the press was, not where the pointer is by the
    // time the queue is read (up to a turn later).
    press_ = PressPoint{{press.x_root, press.y_root}, {press.x_root - press.x, press.y_root - press.y}};
    events.MouseDown(button, ShiftOfXState(press.state), scale_.ToTwips(press.x), scale_.ToTwips(press.y));
    press_.reset();
}

WindowState X11Window::State() { return window_ ? ReadWindowState(connection_, window_) : WindowState::Normal; }

TwipsRect X11Window::Placement() {
    if (!window_) return scale_.ToTwips(pending_);
    int x = 0, y = 0;
    ::Window child = 0;
    // The manager's frame is the parent after reparenting: only the root gives screen positions.
    XTranslateCoordinates(connection_.Dpy(), window_, connection_.Root(), 0, 0, &x, &y, &child);
    // The size asked for, not one a compositor imposed (sway's least floating height): that
    // would be saved and asked for at every start, and grow no smaller.
    return scale_.ToTwips(PixelRect{x, y, askedWidth_, askedHeight_});
}

void X11Window::SetPlacement(const TwipsRect& placement) {
    PixelRect pixels = scale_.ToPixels(placement);
    if (pixels.Width < 1) pixels.Width = 1;
    if (pixels.Height < 1) pixels.Height = 1;
    if (!window_) {
        SetPending(pixels); // made there when shown (see Create)
        return;
    }
    askedWidth_ = pixels.Width;
    askedHeight_ = pixels.Height;
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
        if (window_) WriteInitialStates(connection_, window_, topmost_);
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
    const PressPoint press = press_ ? *press_ : PressNow(connection_, window_);
    if (HasLiveWindowManager(connection_))
        AskManagerToMove(connection_, window_, x_button, press);
    else
        FollowPointer(connection_, window_, x_button, press);
}

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

namespace {

constexpr long kRemove = 0;
constexpr long kAdd = 1;
// The source indication of the manager's client messages: a normal application.
constexpr long kFromApplication = 1;

bool IsIconic(const Connection& connection, ::Window window) {
    const ::Atom wm_state = connection.Atoms().WmState;
    const std::vector<unsigned long> state = ReadProperty32(connection.Dpy(), window, wm_state, wm_state, 2);
    return !state.empty() && state[0] == IconicState;
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
    SendToRoot(connection, window, connection.Atoms().NetWmState,
               {add ? kAdd : kRemove, static_cast<long>(state), 0, kFromApplication, 0});
}

WindowState ReadWindowState(const Connection& connection, ::Window window) {
    const AtomSet& atoms = connection.Atoms();
    if (IsIconic(connection, window)) return WindowState::Minimized;
    bool vertical = false, horizontal = false;
    for (::Atom state : ReadProperty32(connection.Dpy(), window, atoms.NetWmState, XA_ATOM, 64)) {
        if (state == atoms.NetWmStateHidden) return WindowState::Minimized;
        vertical |= state == atoms.NetWmStateMaximizedVert;
        horizontal |= state == atoms.NetWmStateMaximizedHorz;
    }
    return vertical && horizontal ? WindowState::Maximized : WindowState::Normal;
}

namespace {

// The window a format-32 WINDOW property names, or 0.
::Window WindowProperty(Display* display, ::Window window, ::Atom property) {
    const std::vector<unsigned long> named = ReadProperty32(display, window, property, XA_WINDOW, 1);
    return named.empty() ? 0 : static_cast<::Window>(named[0]);
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

namespace {

constexpr long kMoveResizeMove = 8;
constexpr long kMoveResizeCancel = 11;
// How long the own move waits for pointer events before asking the server where the button is.
constexpr int kPointerCheckMs = 50;

struct PointerState {
    ScreenPoint Root;
    unsigned int Mask = 0;
};

PointerState QueryPointer(const Connection& connection) {
    PointerState state;
    ::Window root = 0, child = 0;
    int window_x = 0, window_y = 0;
    XQueryPointer(connection.Dpy(), connection.Root(), &root, &child, &state.Root.X, &state.Root.Y, &window_x,
                  &window_y, &state.Mask);
    return state;
}

void SendMoveResize(const Connection& connection, ::Window window, const ScreenPoint& from, long direction,
                    unsigned int xButton) {
    SendToRoot(connection, window, connection.Atoms().NetWmMoveResize,
               {from.X, from.Y, direction, static_cast<long>(xButton), kFromApplication});
}

void MoveTo(const Connection& connection, ::Window window, const ScreenPoint& origin) {
    XMoveWindow(connection.Dpy(), window, origin.X, origin.Y);
    XFlush(connection.Dpy());
}

// Where the button went up, when its release is queued for the window (after a round trip,
// every release before it is).
std::optional<ScreenPoint> QueuedRelease(const Connection& connection, ::Window window, unsigned int xButton) {
    XEvent event;
    while (XCheckTypedWindowEvent(connection.Dpy(), window, ButtonRelease, &event))
        if (event.xbutton.button == xButton) return ScreenPoint{event.xbutton.x_root, event.xbutton.y_root};
    return std::nullopt;
}

} // namespace

PressPoint PressNow(const Connection& connection, ::Window window) {
    PressPoint now;
    now.Pointer = QueryPointer(connection).Root;
    ::Window child = 0;
    XTranslateCoordinates(connection.Dpy(), window, connection.Root(), 0, 0, &now.Window.X, &now.Window.Y, &child);
    return now;
}

ScreenPoint MovedOrigin(const PressPoint& press, const ScreenPoint& pointer) {
    return {press.Window.X + pointer.X - press.Pointer.X, press.Window.Y + pointer.Y - press.Pointer.Y};
}

void AskManagerToMove(const Connection& connection, ::Window window, unsigned int xButton, const PressPoint& press) {
    const unsigned int held = XButtonMask(xButton);
    // The press's implicit grab would keep the manager from grabbing the pointer.
    XUngrabPointer(connection.Dpy(), CurrentTime);
    const PointerState now = QueryPointer(connection);
    if (!(now.Mask & held)) {
        // Up before the press was read: no manager follows a button that is up.
        if (auto release = QueuedRelease(connection, window, xButton)) MoveTo(connection, window, MovedOrigin(press, *release));
        return;
    }
    // A manager moves the window only for motion after its grab, and a hand that moved at once
    // may now hold still: the motion since the press is made here, and the manager follows
    // from where the pointer is now.
    if (!(now.Root == press.Pointer)) MoveTo(connection, window, MovedOrigin(press, now.Root));
    SendMoveResize(connection, window, now.Root, kMoveResizeMove, xButton);
    // A release between the query and the manager's grab never reaches the manager,
    // which would then leave the window stuck to the pointer.
    if (!(QueryPointer(connection).Mask & held)) {
        SendMoveResize(connection, window, now.Root, kMoveResizeCancel, xButton);
        if (auto release = QueuedRelease(connection, window, xButton)) MoveTo(connection, window, MovedOrigin(press, *release));
    }
    XFlush(connection.Dpy());
}

void FollowPointer(const Connection& connection, ::Window window, unsigned int xButton, const PressPoint& press) {
    Display* display = connection.Dpy();
    const unsigned int held = XButtonMask(xButton);
    XUngrabPointer(display, CurrentTime);
    XGrabPointer(display, window, False, ButtonReleaseMask | PointerMotionMask, GrabModeAsync, GrabModeAsync,
                 None, None, CurrentTime);
    ScreenPoint last = press.Pointer;
    bool down = true;
    // The press may have waited in the queue: the pointer has moved since, or even been released.
    bool ask = true;
    while (down) {
        bool moved = false;
        if (ask) {
            // No event for a while, or none yet: the grab may have failed, so ask the server.
            const PointerState now = QueryPointer(connection);
            down = (now.Mask & held) != 0;
            moved = !(now.Root == last);
            last = now.Root;
        }
        XEvent event;
        // Only the newest pointer position matters: queued motions are dropped. A queued
        // release is older than the answer above and says exactly where the button went up.
        while (XCheckMaskEvent(display, ButtonReleaseMask | PointerMotionMask, &event)) {
            if (event.type == MotionNotify) {
                last = {event.xmotion.x_root, event.xmotion.y_root};
                moved = true;
            } else if (event.type == ButtonRelease && event.xbutton.button == xButton) {
                last = {event.xbutton.x_root, event.xbutton.y_root};
                moved = true;
                down = false;
                break;
            }
        }
        if (moved) MoveTo(connection, window, MovedOrigin(press, last));
        if (!down) break;
        pollfd wait{ConnectionNumber(display), POLLIN, 0};
        ask = poll(&wait, 1, kPointerCheckMs) == 0;
    }
    XUngrabPointer(display, CurrentTime);
    XFlush(display);
}

int ButtonCodeOfX(unsigned int xButton) {
    switch (xButton) {
    case Button1: return kButtonLeft;
    case Button2: return kButtonMiddle;
    case Button3: return kButtonRight;
    default: return 0;
    }
}

unsigned int XButtonOfCode(int code) {
    switch (code) {
    case kButtonLeft: return Button1;
    case kButtonMiddle: return Button2;
    case kButtonRight: return Button3;
    default: return 0;
    }
}

unsigned int XButtonMask(unsigned int xButton) {
    switch (xButton) {
    case Button1: return Button1Mask;
    case Button2: return Button2Mask;
    case Button3: return Button3Mask;
    default: return 0;
    }
}

int ShiftOfXState(unsigned int state) {
    return (state & ShiftMask ? 1 : 0) | (state & ControlMask ? 2 : 0) | (state & Mod1Mask ? 4 : 0);
}

// The details tip, beside the window on the monitor that shows most of it.

void X11Window::ShowTip(const std::vector<std::string>& lines) {
    if (!window_ || !shown_) return;
    if (!tip_) tip_ = std::make_unique<TipWindow>(connection_, scale_);
    PixelRect panel{0, 0, width_, height_};
    ::Window child = 0;
    XTranslateCoordinates(connection_.Dpy(), window_, connection_.Root(), 0, 0, &panel.X, &panel.Y, &child);
    const MonitorLayout layout = ReadMonitors(connection_.Dpy(), connection_.Screen());
    PixelRect monitor = layout.Primary;
    int most = 0;
    for (const PixelRect& each : layout.All) {
        const PixelRect common = Intersection(each, panel);
        if (common.Width * common.Height > most) {
            most = common.Width * common.Height;
            monitor = each;
        }
    }
    tip_->Show(lines, panel, monitor);
}

void X11Window::HideTip() {
    if (tip_) tip_->Hide();
}

// Key state of the whole keyboard for the window's hotkeys.

std::int16_t X11Window::GetAsyncKeyState(int virtualKey) {
    return keyboard_ ? keyboard_->GetAsyncKeyState(virtualKey) : 0;
}

} // namespace platform::x11
