// The Wayland display: the one connection with the globals the panel uses, the outputs as the
// compositor lays them out, and the seat's pointer and keyboard.
#include "platform/linux/wayland/wayland_display.h"

#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <wayland-cursor.h>

#include "platform/process.h"
#include "relative-pointer-unstable-v1-client.h"
#include "platform/linux/wayland/layer_shell_protocol.h"
#include "xdg-output-unstable-v1-client.h"

namespace platform::wayland {

namespace {

// The newest versions this client knows; a compositor's older ones are taken as they are.
constexpr std::uint32_t kCompositorVersion = 4;
constexpr std::uint32_t kShmVersion = 1;
constexpr std::uint32_t kLayerShellVersion = 4;
constexpr std::uint32_t kOutputVersion = 2;
constexpr std::uint32_t kXdgOutputVersion = 3;
constexpr std::uint32_t kSeatVersion = 5;

template <class T>
T* BindGlobal(wl_registry* registry, std::uint32_t name, const wl_interface* interface, std::uint32_t offered,
              std::uint32_t known) {
    return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, known)));
}

// libwayland's own complaint (a protocol error, a broken socket): kept for the one-line
// message of the failure it leads to instead of printed.
std::string lastComplaint;

void KeepComplaint(const char* format, va_list arguments) {
    char text[256];
    std::vsnprintf(text, sizeof text, format, arguments);
    lastComplaint = text;
    while (!lastComplaint.empty() && (lastComplaint.back() == '\n' || lastComplaint.back() == ' '))
        lastComplaint.pop_back();
}

std::string DisplayName() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    return name && *name ? name : "wayland-0";
}

} // namespace

// The listeners: plain functions that hand each event to the connection or its outputs.
struct Listeners {
    static void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t version) {
        static_cast<Connection*>(data)->Bind(registry, name, interface, version);
    }
    static void GlobalRemove(void* data, wl_registry*, std::uint32_t name) {
        static_cast<Connection*>(data)->Forget(name);
    }
    static constexpr wl_registry_listener kRegistry{Global, GlobalRemove};

    static void OutputGeometry(void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t, std::int32_t,
                               std::int32_t, const char*, const char*, std::int32_t) {
        auto* output = static_cast<Output*>(data);
        if (output->Logical) return; // xdg-output's logical position is the layout's
        output->Area.X = x;
        output->Area.Y = y;
    }
    static void OutputMode(void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height,
                           std::int32_t) {
        if (!(flags & WL_OUTPUT_MODE_CURRENT)) return;
        auto* output = static_cast<Output*>(data);
        output->ModeWidth = width;
        output->ModeHeight = height;
    }
    static void OutputDone(void* data, wl_output*) {
        auto* output = static_cast<Output*>(data);
        output->Described = true;
        if (output->HasLogicalSize || output->Scale < 1) return;
        output->Area.Width = output->ModeWidth / output->Scale;
        output->Area.Height = output->ModeHeight / output->Scale;
    }
    static void OutputScale(void* data, wl_output*, std::int32_t factor) {
        static_cast<Output*>(data)->Scale = factor > 0 ? factor : 1;
    }
    static void OutputName(void*, wl_output*, const char*) {}
    static void OutputDescription(void*, wl_output*, const char*) {}
    static constexpr wl_output_listener kOutput{OutputGeometry, OutputMode, OutputDone, OutputScale, OutputName,
                                                OutputDescription};

    static void LogicalPosition(void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
        auto* output = static_cast<Output*>(data);
        output->Area.X = x;
        output->Area.Y = y;
    }
    static void LogicalSize(void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height) {
        auto* output = static_cast<Output*>(data);
        output->Area.Width = width;
        output->Area.Height = height;
        output->HasLogicalSize = true;
    }
    static void LogicalDone(void*, zxdg_output_v1*) {}
    static void LogicalName(void*, zxdg_output_v1*, const char*) {}
    static void LogicalDescription(void*, zxdg_output_v1*, const char*) {}
    static constexpr zxdg_output_v1_listener kLogical{LogicalPosition, LogicalSize, LogicalDone, LogicalName,
                                                      LogicalDescription};

    static void SeatCapabilities(void* data, wl_seat*, std::uint32_t capabilities) {
        static_cast<Connection*>(data)->capabilities_ = capabilities;
    }
    static void SeatName(void*, wl_seat*, const char*) {}
    static constexpr wl_seat_listener kSeat{SeatCapabilities, SeatName};

    static void PointerEnter(void* data, wl_pointer*, std::uint32_t serial, wl_surface* surface, wl_fixed_t x,
                             wl_fixed_t y) {
        auto* connection = static_cast<Connection*>(data);
        connection->ShowArrow(serial);
        connection->AttachRelativePointer(); // if the manager came after the pointer
        const bool inside = surface && surface == connection->watched_;
        if (inside && !connection->pointerInside_) connection->pointerEvents_.push_back({PointerEvent::Kind::Enter});
        connection->pointerInside_ = inside;
        connection->pointerX_ = wl_fixed_to_double(x);
        connection->pointerY_ = wl_fixed_to_double(y);
    }
    static void PointerLeave(void* data, wl_pointer*, std::uint32_t, wl_surface*) {
        auto* connection = static_cast<Connection*>(data);
        if (connection->pointerInside_) connection->pointerEvents_.push_back({PointerEvent::Kind::Leave});
        connection->pointerInside_ = false;
    }
    static void PointerMotion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
        auto* connection = static_cast<Connection*>(data);
        connection->pointerX_ = wl_fixed_to_double(x);
        connection->pointerY_ = wl_fixed_to_double(y);
    }
    static void PointerButton(void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t button,
                              std::uint32_t state) {
        auto* connection = static_cast<Connection*>(data);
        if (!connection->pointerInside_) return;
        PointerEvent event;
        event.What = state == WL_POINTER_BUTTON_STATE_PRESSED ? PointerEvent::Kind::Press : PointerEvent::Kind::Release;
        event.Button = button;
        event.X = connection->pointerX_;
        event.Y = connection->pointerY_;
        connection->pointerEvents_.push_back(event);
    }
    static void PointerAxis(void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {}
    static void PointerFrame(void*, wl_pointer*) {}
    static void PointerAxisSource(void*, wl_pointer*, std::uint32_t) {}
    static void PointerAxisStop(void*, wl_pointer*, std::uint32_t, std::uint32_t) {}
    static void PointerAxisDiscrete(void*, wl_pointer*, std::uint32_t, std::int32_t) {}
    static void PointerAxisValue120(void*, wl_pointer*, std::uint32_t, std::int32_t) {}
    static constexpr wl_pointer_listener kPointer{PointerEnter,        PointerLeave,       PointerMotion,
                                                  PointerButton,       PointerAxis,        PointerFrame,
                                                  PointerAxisSource,   PointerAxisStop,    PointerAxisDiscrete,
                                                  PointerAxisValue120};

    static void RelativeMotion(void* data, zwp_relative_pointer_v1*, std::uint32_t, std::uint32_t, wl_fixed_t dx,
                               wl_fixed_t dy, wl_fixed_t, wl_fixed_t) {
        auto* connection = static_cast<Connection*>(data);
        if (!connection->pointerInside_) return;
        PointerEvent event;
        event.Dx = wl_fixed_to_double(dx);
        event.Dy = wl_fixed_to_double(dy);
        connection->pointerEvents_.push_back(event);
    }
    static constexpr zwp_relative_pointer_v1_listener kRelative{RelativeMotion};

    static void Keymap(void* data, wl_keyboard*, std::uint32_t format, std::int32_t fd, std::uint32_t size) {
        if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0) {
            void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
            if (text != MAP_FAILED) {
                // The text ends in a NUL within size.
                static_cast<Connection*>(data)->keyboard_.SetKeymap(
                    std::string(static_cast<const char*>(text), strnlen(static_cast<const char*>(text), size)));
                munmap(text, size);
            }
        }
        close(fd);
    }
    static void KeyboardEnter(void* data, wl_keyboard*, std::uint32_t, wl_surface*, wl_array* keys) {
        std::vector<std::uint32_t> down;
        const auto* codes = static_cast<const std::uint32_t*>(keys->data);
        for (std::size_t i = 0; i < keys->size / sizeof(std::uint32_t); ++i) down.push_back(codes[i] + 8);
        static_cast<Connection*>(data)->keyboard_.Enter(down);
    }
    static void KeyboardLeave(void* data, wl_keyboard*, std::uint32_t, wl_surface*) {
        static_cast<Connection*>(data)->keyboard_.Leave();
    }
    static void Key(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key, std::uint32_t state) {
        static_cast<Connection*>(data)->keyboard_.Key(key + 8, state == WL_KEYBOARD_KEY_STATE_PRESSED);
    }
    static void KeyModifiers(void* data, wl_keyboard*, std::uint32_t, std::uint32_t depressed,
                             std::uint32_t latched, std::uint32_t locked, std::uint32_t group) {
        static_cast<Connection*>(data)->keyboard_.Modifiers(depressed, latched, locked, group);
    }
    static void RepeatInfo(void*, wl_keyboard*, std::int32_t, std::int32_t) {}
    static constexpr wl_keyboard_listener kKeyboard{Keymap, KeyboardEnter, KeyboardLeave,
                                                    Key,    KeyModifiers,  RepeatInfo};
};

Connection::Connection() {
    wl_log_set_handler_client(KeepComplaint);
    display_ = wl_display_connect(nullptr);
    if (!display_) throw Error("cannot connect to the Wayland display \"" + DisplayName() + "\"");
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &Listeners::kRegistry, this);
    // The globals, then what the outputs and the seat say of themselves.
    Roundtrip();
    Roundtrip();
    if (!compositor_ || !shm_) {
        const char* missing = !compositor_ ? "wl_compositor" : "wl_shm";
        wl_display_disconnect(display_);
        throw Error(std::string("the compositor offers no ") + missing);
    }
}

Connection::~Connection() {
    if (cursorSurface_) wl_surface_destroy(cursorSurface_);
    if (cursorTheme_) wl_cursor_theme_destroy(cursorTheme_);
    if (relativePointer_) zwp_relative_pointer_v1_destroy(relativePointer_);
    if (pointer_) wl_pointer_destroy(pointer_);
    if (keyboard_handle_) wl_keyboard_destroy(keyboard_handle_);
    if (seat_) wl_seat_destroy(seat_);
    for (auto& output : outputs_) {
        if (output->Logical) zxdg_output_v1_destroy(output->Logical);
        wl_output_destroy(output->Handle);
    }
    if (relativePointerManager_) zwp_relative_pointer_manager_v1_destroy(relativePointerManager_);
    if (xdgOutputManager_) zxdg_output_manager_v1_destroy(xdgOutputManager_);
    if (layerShell_) zwlr_layer_shell_v1_destroy(layerShell_);
    if (shm_) wl_shm_destroy(shm_);
    if (compositor_) wl_compositor_destroy(compositor_);
    wl_registry_destroy(registry_);
    wl_display_disconnect(display_);
}

void Connection::Bind(wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t version) {
    const std::string kind = interface;
    if (kind == wl_compositor_interface.name) {
        compositor_ = BindGlobal<wl_compositor>(registry, name, &wl_compositor_interface, version, kCompositorVersion);
    } else if (kind == wl_shm_interface.name) {
        shm_ = BindGlobal<wl_shm>(registry, name, &wl_shm_interface, version, kShmVersion);
    } else if (kind == zwlr_layer_shell_v1_interface.name) {
        layerShellVersion_ = std::min(version, kLayerShellVersion);
        layerShell_ =
            BindGlobal<zwlr_layer_shell_v1>(registry, name, &zwlr_layer_shell_v1_interface, version, kLayerShellVersion);
    } else if (kind == zxdg_output_manager_v1_interface.name) {
        xdgOutputManager_ = BindGlobal<zxdg_output_manager_v1>(registry, name, &zxdg_output_manager_v1_interface,
                                                               version, kXdgOutputVersion);
        for (auto& output : outputs_) DescribeLogically(*output);
    } else if (kind == zwp_relative_pointer_manager_v1_interface.name) {
        relativePointerManager_ = BindGlobal<zwp_relative_pointer_manager_v1>(
            registry, name, &zwp_relative_pointer_manager_v1_interface, version, 1);
    } else if (kind == wl_output_interface.name) {
        AddOutput(registry, name, version);
    } else if (kind == wl_seat_interface.name && !seat_) {
        seat_ = BindGlobal<wl_seat>(registry, name, &wl_seat_interface, version, kSeatVersion);
        wl_seat_add_listener(seat_, &Listeners::kSeat, this);
    }
}

void Connection::AddOutput(wl_registry* registry, std::uint32_t name, std::uint32_t version) {
    auto output = std::make_unique<Output>();
    output->Name = name;
    output->Handle = BindGlobal<wl_output>(registry, name, &wl_output_interface, version, kOutputVersion);
    wl_output_add_listener(output->Handle, &Listeners::kOutput, output.get());
    DescribeLogically(*output);
    outputs_.push_back(std::move(output));
}

void Connection::DescribeLogically(Output& output) {
    if (!xdgOutputManager_ || output.Logical) return;
    output.Logical = zxdg_output_manager_v1_get_xdg_output(xdgOutputManager_, output.Handle);
    zxdg_output_v1_add_listener(output.Logical, &Listeners::kLogical, &output);
}

void Connection::Forget(std::uint32_t name) {
    auto found = std::find_if(outputs_.begin(), outputs_.end(), [name](const auto& output) { return output->Name == name; });
    if (found == outputs_.end()) return;
    if ((*found)->Logical) zxdg_output_v1_destroy((*found)->Logical);
    wl_output_destroy((*found)->Handle);
    outputs_.erase(found);
}

// Applied once the events read are dispatched: a pointer that came and went meanwhile is not asked
// for, nor its relative pointer (wlroots 0.15 crashes on one asked of a pointer made inert).
void Connection::FollowSeat() {
    if (!seat_ || capabilities_ == appliedCapabilities_) return;
    appliedCapabilities_ = capabilities_;
    const std::uint32_t capabilities = capabilities_;
    const bool pointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
    if (pointer && !pointer_) {
        pointer_ = wl_seat_get_pointer(seat_);
        wl_pointer_add_listener(pointer_, &Listeners::kPointer, this);
    } else if (!pointer && pointer_) {
        if (relativePointer_) zwp_relative_pointer_v1_destroy(relativePointer_);
        relativePointer_ = nullptr;
        wl_pointer_release(pointer_);
        pointer_ = nullptr;
        pointerInside_ = false;
    }
    AttachRelativePointer();
    const bool keyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
    if (keyboard && !keyboard_handle_) {
        keyboard_handle_ = wl_seat_get_keyboard(seat_);
        wl_keyboard_add_listener(keyboard_handle_, &Listeners::kKeyboard, this);
    } else if (!keyboard && keyboard_handle_) {
        wl_keyboard_release(keyboard_handle_);
        keyboard_handle_ = nullptr;
        keyboard_.Leave();
    }
}

void Connection::AttachRelativePointer() {
    if (!pointer_ || !relativePointerManager_ || relativePointer_) return;
    relativePointer_ = zwp_relative_pointer_manager_v1_get_relative_pointer(relativePointerManager_, pointer_);
    zwp_relative_pointer_v1_add_listener(relativePointer_, &Listeners::kRelative, this);
}

// The pointer over the panel is the theme's arrow: a client that sets none keeps the image the
// pointer had over the window it came from.
void Connection::ShowArrow(std::uint32_t serial) {
    constexpr int kCursorSize = 24;
    int scale = 1;
    for (const Output* output : Outputs()) scale = std::max(scale, output->Scale);
    if (!cursorTheme_ || cursorScale_ != scale) {
        if (cursorTheme_) wl_cursor_theme_destroy(cursorTheme_);
        const char* size = std::getenv("XCURSOR_SIZE");
        const int pixels = size && std::atoi(size) > 0 ? std::atoi(size) : kCursorSize;
        cursorTheme_ = wl_cursor_theme_load(std::getenv("XCURSOR_THEME"), pixels * scale, shm_);
        cursorScale_ = scale;
    }
    wl_cursor* arrow = nullptr;
    if (cursorTheme_) arrow = wl_cursor_theme_get_cursor(cursorTheme_, "left_ptr");
    if (cursorTheme_ && !arrow) arrow = wl_cursor_theme_get_cursor(cursorTheme_, "default");
    if (!arrow || arrow->image_count == 0) return;
    wl_cursor_image* image = arrow->images[0];
    wl_buffer* buffer = wl_cursor_image_get_buffer(image);
    if (!buffer) return;
    if (!cursorSurface_) cursorSurface_ = wl_compositor_create_surface(compositor_);
    wl_surface_set_buffer_scale(cursorSurface_, cursorScale_);
    wl_surface_attach(cursorSurface_, buffer, 0, 0);
    wl_surface_damage(cursorSurface_, 0, 0, static_cast<std::int32_t>(image->width), static_cast<std::int32_t>(image->height));
    wl_surface_commit(cursorSurface_);
    wl_pointer_set_cursor(pointer_, serial, cursorSurface_, static_cast<std::int32_t>(image->hotspot_x) / cursorScale_,
                          static_cast<std::int32_t>(image->hotspot_y) / cursorScale_);
}

std::vector<const Output*> Connection::Outputs() const {
    std::vector<const Output*> described;
    for (const auto& output : outputs_)
        if (output->Described && output->Area.Width > 0 && output->Area.Height > 0) described.push_back(output.get());
    return described;
}

const Output* Connection::OutputNamed(std::uint32_t name) const {
    for (const Output* output : Outputs())
        if (output->Name == name) return output;
    return nullptr;
}

void Connection::LostConnection() const {
    const int error = wl_display_get_error(display_);
    std::string reason = !lastComplaint.empty() ? lastComplaint : error ? std::strerror(error) : "";
    throw Error("lost the connection to the Wayland display \"" + DisplayName() + "\"" +
                (reason.empty() ? std::string() : ": " + reason));
}

void Connection::Flush() {
    while (wl_display_flush(display_) < 0) {
        if (errno != EAGAIN) LostConnection();
        pollfd writable{wl_display_get_fd(display_), POLLOUT, 0};
        poll(&writable, 1, -1);
    }
}

void Connection::Dispatch(int timeoutMs) {
    while (wl_display_prepare_read(display_) != 0)
        if (wl_display_dispatch_pending(display_) < 0) LostConnection();
    Flush();
    pollfd readable{wl_display_get_fd(display_), POLLIN, 0};
    int ready;
    do {
        ready = poll(&readable, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready > 0) {
        if (wl_display_read_events(display_) < 0) LostConnection();
    } else {
        wl_display_cancel_read(display_);
    }
    if (wl_display_dispatch_pending(display_) < 0) LostConnection();
    FollowSeat();
}

void Connection::Roundtrip() {
    if (wl_display_roundtrip(display_) < 0) LostConnection();
    FollowSeat();
}

const Output* OutputHolding(const LayoutRect& rect, const std::vector<const Output*>& outputs) {
    const Output* best = nullptr;
    long long bestShare = 0;
    for (const Output* output : outputs) {
        const long long width = std::min(rect.X + rect.Width, output->Area.X + output->Area.Width) -
                                std::max(rect.X, output->Area.X);
        const long long height = std::min(rect.Y + rect.Height, output->Area.Y + output->Area.Height) -
                                 std::max(rect.Y, output->Area.Y);
        if (width > 0 && height > 0 && width * height > bestShare) {
            best = output;
            bestShare = width * height;
        }
    }
    if (best) return best;
    return outputs.empty() ? nullptr : outputs.front();
}

LayoutRect KeptWithin(const LayoutRect& rect, const LayoutRect& area) {
    LayoutRect kept = rect;
    kept.X = std::max(area.X, std::min(rect.X, area.X + area.Width - rect.Width));
    kept.Y = std::max(area.Y, std::min(rect.Y, area.Y + area.Height - rect.Height));
    return kept;
}

LayoutRect CentredOn(const LayoutRect& rect, const LayoutRect& area) {
    return {area.X + (area.Width - rect.Width) / 2, area.Y + (area.Height - rect.Height) / 2, rect.Width, rect.Height};
}

} // namespace platform::wayland
