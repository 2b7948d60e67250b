// The Wayland display: the one connection with the globals the panel uses, the outputs as the
// compositor lays them out, and the seat's pointer and keyboard.
#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/wayland/wayland_keyboard.h"

struct zwlr_layer_shell_v1;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;
struct zwp_relative_pointer_manager_v1;
struct zwp_relative_pointer_v1;
struct wl_cursor_theme;

namespace platform::wayland {

// The layout's logical pixels to the inch, whatever the output's scale.
constexpr double kLayoutDpi = 96;

// A rectangle in the compositor's layout, in logical pixels: the unit of surface sizes and
// margins, 96 to the inch whatever the output's scale.
struct LayoutRect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const LayoutRect& other) const = default;
};

struct Output {
    std::uint32_t Name = 0; // the registry's name, which global_remove gives back
    wl_output* Handle = nullptr;
    zxdg_output_v1* Logical = nullptr;
    LayoutRect Area; // its place and logical size in the layout
    int Scale = 1;   // buffer pixels per logical pixel
    // Without xdg-output the size is the mode's divided by the scale.
    int ModeWidth = 0;
    int ModeHeight = 0;
    bool HasLogicalSize = false;
    bool Described = false; // the first wl_output.done has come
};

// What the pointer did on the watched surface, in order, for the window to take at its pace.
struct PointerEvent {
    enum class Kind { Enter, Press, Release, Motion, Leave };
    Kind What = Kind::Motion;
    std::uint32_t Button = 0; // the kernel's code: BTN_LEFT, BTN_MIDDLE, BTN_RIGHT
    double X = 0;             // surface-local position of a press
    double Y = 0;
    double Dx = 0; // relative motion, as the cursor moved
    double Dy = 0;
};

// The connection to the compositor named by WAYLAND_DISPLAY and the globals bound on it.
class Connection {
public:
    // Throws platform::Error when no compositor answers or it lacks wl_compositor or wl_shm.
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    wl_display* Display() const { return display_; }
    wl_compositor* Compositor() const { return compositor_; }
    wl_shm* Shm() const { return shm_; }
    zwlr_layer_shell_v1* LayerShell() const { return layerShell_; } // null when not offered
    std::uint32_t LayerShellVersion() const { return layerShellVersion_; }
    bool HasRelativePointer() const { return relativePointerManager_ != nullptr; }

    // The described outputs, in the order the compositor announced them.
    std::vector<const Output*> Outputs() const;
    const Output* OutputNamed(std::uint32_t name) const;

    // Reads and dispatches what the compositor has sent, waiting up to timeoutMs for it
    // (0: not at all, -1: until something comes). Throws platform::Error when the connection is lost.
    void Dispatch(int timeoutMs = 0);
    // Sends the requests made so far and waits until the compositor has handled them.
    void Roundtrip();
    void Flush();

    // Pointer events on this surface only; the queue the window takes them from.
    void WatchPointerOn(wl_surface* surface) { watched_ = surface; }
    std::deque<PointerEvent>& PointerEvents() { return pointerEvents_; }
    KeyboardState& Keyboard() { return keyboard_; }

private:
    friend struct Listeners;
    void Bind(wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t version);
    void Forget(std::uint32_t name);
    void AddOutput(wl_registry* registry, std::uint32_t name, std::uint32_t version);
    void DescribeLogically(Output& output);
    void FollowSeat();
    void AttachRelativePointer();
    void ShowArrow(std::uint32_t serial);
    void LostConnection() const;

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_compositor* compositor_ = nullptr;
    wl_shm* shm_ = nullptr;
    zwlr_layer_shell_v1* layerShell_ = nullptr;
    std::uint32_t layerShellVersion_ = 0;
    zxdg_output_manager_v1* xdgOutputManager_ = nullptr;
    zwp_relative_pointer_manager_v1* relativePointerManager_ = nullptr;
    wl_seat* seat_ = nullptr;
    std::uint32_t capabilities_ = 0; // as the seat last announced them
    std::uint32_t appliedCapabilities_ = 0;
    wl_pointer* pointer_ = nullptr;
    zwp_relative_pointer_v1* relativePointer_ = nullptr;
    wl_keyboard* keyboard_handle_ = nullptr;
    std::vector<std::unique_ptr<Output>> outputs_;

    wl_cursor_theme* cursorTheme_ = nullptr;
    int cursorScale_ = 1;
    wl_surface* cursorSurface_ = nullptr;

    wl_surface* watched_ = nullptr;
    bool pointerInside_ = false;
    double pointerX_ = 0;
    double pointerY_ = 0;
    std::deque<PointerEvent> pointerEvents_;
    KeyboardState keyboard_;
};

// Where a panel goes in the layout.

// The output that holds the most of `rect`; the first output when none holds any of it, null
// when there are none.
const Output* OutputHolding(const LayoutRect& rect, const std::vector<const Output*>& outputs);
// `rect` moved the least to lie on `area` (its top-left corner wins when it is larger).
LayoutRect KeptWithin(const LayoutRect& rect, const LayoutRect& area);
// `rect`'s size centred on `area`.
LayoutRect CentredOn(const LayoutRect& rect, const LayoutRect& area);

} // namespace platform::wayland
