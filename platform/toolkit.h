// The window toolkit the window program draws with: plain control data in, events out.
// Positions and sizes are twips (1440 per inch); each backend converts with its display's dpi.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/process.h"

namespace platform {

using Colour = std::uint32_t; // 0x00BBGGRR, red in the low byte

// 32-bit pixels 0xAARRGGBB, rows top to bottom.
struct Image {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;
};

struct PixelSize {
    int Width = 0;
    int Height = 0;
};

struct TwipsRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

enum class TextAlign { Left, Right, Center };

struct FontSpec {
    std::string Name;  // face, e.g. "Arial"; the backend finds the closest face with the charset's glyphs
    double Size = 0;   // points
    int Weight = 400;  // 400 normal, 700 bold
    int Charset = 0;   // kCharsetCyrillic for the Russian captions
};

constexpr int kCharsetCyrillic = 204;

struct Label {
    TwipsRect Rect;
    std::string Caption; // UTF-8, one line, clipped to Rect, starting at its top edge
    Colour ForeColor = 0;
    FontSpec Font;
    TextAlign Alignment = TextAlign::Left;
};

struct Picture {
    TwipsRect Rect;
    const Image* Source = nullptr; // shown at natural size
    bool Visible = false;
};

struct Shape {
    TwipsRect Rect;
    Colour FillColor = 0;
    Colour BorderColor = 0;
    int BorderWidth = 1; // pixels, centred on the rectangle's edge
};

// What the window shows, drawn in this order over the system's window background:
// the shape (fill, then outline), the labels, then the visible pictures.
struct Surface {
    const Shape* Panel = nullptr;
    std::vector<const Label*> Labels;
    std::vector<const Picture*> Pictures;
};

enum class WindowState { Normal, Minimized, Maximized };

// Mouse button codes of a press.
constexpr int kButtonLeft = 1;
constexpr int kButtonRight = 2;
constexpr int kButtonMiddle = 4;

// Virtual-key codes, the keys' names in Window::GetAsyncKeyState and WindowDesign::Keys: the
// Windows codes, which every backend maps to its own keys. A modifier is either of its two keys;
// letters and digits are their upper-case ASCII codes ('A'-'Z', '0'-'9').
constexpr int kVirtualKeyShift = 0x10;
constexpr int kVirtualKeyControl = 0x11;
constexpr int kVirtualKeyAlt = 0x12;
constexpr int kVirtualKeyF1 = 0x70; // F1 to F24 in a row
constexpr int kVirtualKeyF4 = kVirtualKeyF1 + 3;
constexpr int kVirtualKeyF24 = kVirtualKeyF1 + 23;
constexpr int kVirtualKeyT = 'T';

class WindowEvents {
public:
    // A press anywhere in the client area; position relative to its top-left corner.
    // shift: 1 Shift, 2 Ctrl, 4 Alt.
    virtual void MouseDown(int button, int shift, int xTwips, int yTwips) = 0;
    // The window system's own close (window manager's close, Alt+F4 on a focused window).
    virtual void CloseRequested() = 0;
    // The pointer came onto the window, or left it (also for a grab that takes it away).
    // Backends without a details tip may never report them.
    virtual void PointerEntered() {}
    virtual void PointerLeft() {}

protected:
    ~WindowEvents() = default;
};

struct WindowDesign {
    std::string Title;               // UTF-8
    std::vector<const Image*> Icons; // every size of the icon
    TwipsRect Placement;             // the client area on the screen; no frame
    const Surface* Contents = nullptr; // must outlive the window
    // The virtual keys the program will ask GetAsyncKeyState about; a backend that has to watch
    // the keyboard to answer watches these from the window's creation on.
    std::vector<int> Keys;
};

class Window {
public:
    virtual ~Window() = default;

    // Shows the window where its placement is then. A window system that makes the window only
    // now (X11: a manager that places new windows itself honours where one is made, not where
    // it is moved before the map) throws platform::Error here when it refuses it.
    virtual void Show() = 0;
    // The contents changed: repaint them at the next event pass. Nothing else repaints but exposure.
    virtual void Invalidate() = 0;
    // Processes the pending events once and returns.
    virtual void DoEvents(WindowEvents& events) = 0;

    virtual WindowState State() = 0;
    virtual TwipsRect Placement() = 0; // client area's position on the screen and its size
    virtual void SetPlacement(const TwipsRect& placement) = 0;
    virtual TwipsRect PrimaryScreen() = 0; // the primary monitor (its work area where the system has one)
    virtual std::vector<TwipsRect> Monitors() = 0;
    // The dots per inch the window's twips are converted at.
    virtual double Dpi() = 0;
    // The largest client area the window system makes, in pixels, and no larger than the
    // whole virtual screen.
    virtual PixelSize LargestSize() = 0;

    // Puts the window in the topmost band or takes it out of it; neither moves, resizes
    // nor activates it; the window is shown.
    virtual void SetTopmost(bool topmost) = 0;
    virtual void ReleaseCapture() = 0;
    // Moves the window with the pointer until the button is released.
    virtual void BeginMove(int button) = 0;

    // The details tip: a small window of its own beside this one (never over it), on the
    // screen, showing `lines` (UTF-8) one under the other; shown again it shows the new lines.
    // Backends without one (the Wayland panel's) do nothing.
    virtual void ShowTip(const std::vector<std::string>& /*lines*/) {}
    virtual void HideTip() {}

    // Key state word of a virtual-key code: 0x8000 while down, 0x0001 if pressed since
    // the previous query of that key; the whole keyboard, whichever window has the focus.
    virtual std::int16_t GetAsyncKeyState(int virtualKey) = 0;
};

// Creates the window hidden. Throws platform::Error when the window system can't be reached
// or refuses the window. What the window does without (the hotkeys of a keyboard it can't
// watch) goes to `warn`.
std::unique_ptr<Window> OpenWindow(const WindowDesign& design, WarningHandler warn = {});

} // namespace platform
