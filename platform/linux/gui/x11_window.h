// platform::Window on X11: one managed top-level window without frame or taskbar entry, with
// its properties, the window manager's states, staying on top, moves and pointer buttons.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/gui/x11_display.h"
#include "platform/linux/gui/x11_keyboard.h"
#include "platform/linux/gui/x11_painter.h"
#include "platform/linux/gui/x11_tip.h"
#include "platform/toolkit.h"

namespace platform::x11 {

// A position on the screen (the root window's coordinates).
struct ScreenPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const ScreenPoint& other) const { return X == other.X && Y == other.Y; }
};

// A press on the window: where the pointer was, and where the window's top-left corner was.
struct PressPoint {
    ScreenPoint Pointer;
    ScreenPoint Window;
};

// platform::Window on X11: one managed top-level window without frame or taskbar entry.
class X11Window final : public platform::Window {
public:
    // Throws platform::Error when the display can't be opened or refuses the window.
    explicit X11Window(const WindowDesign& request, const WarningHandler& warn = {});
    ~X11Window() override;

    void Show() override;
    void Invalidate() override;
    void DoEvents(WindowEvents& events) override;
    WindowState State() override;
    TwipsRect Placement() override;
    void SetPlacement(const TwipsRect& placement) override;
    TwipsRect PrimaryScreen() override;
    std::vector<TwipsRect> Monitors() override;
    double Dpi() override { return scale_.Dpi(); }
    PixelSize LargestSize() override;
    void SetTopmost(bool topmost) override;
    void ReleaseCapture() override;
    void BeginMove(int button) override;
    std::int16_t GetAsyncKeyState(int virtualKey) override;
    void ShowTip(const std::vector<std::string>& lines) override;
    void HideTip() override;

private:
    void SetPending(PixelRect placement);
    void Create();
    void Handle(XEvent& event, WindowEvents& events);
    void HandlePress(const XButtonEvent& press, WindowEvents& events);
    void KeepOnTop(const XVisibilityEvent& visibility);
    void Repaint();

    Connection connection_;
    Scale scale_;
    std::string title_;
    std::vector<const Image*> icons_;
    ::Window window_ = 0; // made when first shown
    PixelRect pending_;   // where it is made
    const Surface* contents_;
    std::unique_ptr<Painter> painter_;
    std::unique_ptr<X11Keyboard> keyboard_; // null when the server has no XInput 2
    std::unique_ptr<TipWindow> tip_;         // made when first shown
    std::optional<PressPoint> press_;        // the press being handled, for a move it starts
    int width_ = 0; // as the window is
    int height_ = 0;
    int askedWidth_ = 0; // as the program asked for it
    int askedHeight_ = 0;
    bool shown_ = false;
    bool topmost_ = false;
    bool exposed_ = false;
    bool invalidated_ = false;
};

// The properties that make the window a small fixed, frameless, named window for the manager.

// WM_NAME and _NET_WM_NAME (UTF-8).
void SetTitle(const Connection& connection, ::Window window, const std::string& title);
// WM_CLASS, WM_PROTOCOLS with WM_DELETE_WINDOW, WM_HINTS, _NET_WM_PID and no decorations.
void SetIdentity(const Connection& connection, ::Window window);
// The size can't change (min = max) and the position is the program's own.
void SetPlacementHints(const Connection& connection, ::Window window, const PixelRect& placement);
void SetIcon(const Connection& connection, ::Window window, const std::vector<const Image*>& icons);

// The window's states as the window manager keeps them (EWMH _NET_WM_STATE, ICCCM WM_STATE).

// Before the first map: the states the manager starts the window with.
void WriteInitialStates(const Connection& connection, ::Window window, bool above);

// After mapping, only a request to the root changes a state; writing the property then is
// ignored by the manager and erases the states it keeps there.
void RequestState(const Connection& connection, ::Window window, bool add, ::Atom state);

// Minimized when iconic or hidden, Maximized when maximised both ways.
WindowState ReadWindowState(const Connection& connection, ::Window window);

// Whether an EWMH window manager is running now.

// A manager names its check window on the root and on that window itself; a manager that died
// leaves the root's property behind, pointing at a window that is gone or no longer says so.
bool HasLiveWindowManager(const Connection& connection);

// Moving the frameless window with the pointer while a button is held.

// Hands the move to the window manager, which follows the pointer until the button goes up;
// the window first goes where the pointer has moved it since the press (the press may have
// waited in the queue). Returns at once. A button already released moves the window by what
// the pointer moved from the press to the release.
void AskManagerToMove(const Connection& connection, ::Window window, unsigned int xButton, const PressPoint& press);

// Without a manager: follows the pointer from the press point until the button goes up, then returns.
void FollowPointer(const Connection& connection, ::Window window, unsigned int xButton, const PressPoint& press);

// The pointer and the window's position now, for a move that no press started.
PressPoint PressNow(const Connection& connection, ::Window window);

// Where the window goes when the pointer is at `pointer`: it keeps the offset it had from the
// pointer at the press.
ScreenPoint MovedOrigin(const PressPoint& press, const ScreenPoint& pointer);

// X pointer buttons and modifier state in the toolkit's codes.

// X button 1 is left, 2 middle, 3 right; wheel and side buttons give 0 (not a press to report).
int ButtonCodeOfX(unsigned int xButton);
// The X button of a toolkit button code, 0 for none.
unsigned int XButtonOfCode(int code);
// The X button mask of an X button (Button1Mask...), 0 for none.
unsigned int XButtonMask(unsigned int xButton);
// 1 Shift, 2 Ctrl, 4 Alt from an X event's modifier state.
int ShiftOfXState(unsigned int state);

} // namespace platform::x11
