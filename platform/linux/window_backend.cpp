// Which window system nevlin's window is opened on, and the window toolkit's one entry point.
#include "platform/linux/window_backend.h"

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/linux/gui/x11_window.h"
#include "platform/linux/wayland/wayland_window.h"
#include "platform/process.h"
#include "platform/toolkit.h"

namespace platform {

WindowBackend ChooseWindowBackend(const char* forced, const char* waylandDisplay) {
    const std::string backend = forced ? forced : "";
    if (backend == "x11") return WindowBackend::X11;
    if (backend == "wayland") return WindowBackend::Wayland;
    if (!backend.empty()) throw Error("OSTRAVEL_BACKEND is \"" + backend + "\": x11 or wayland");
    return waylandDisplay && *waylandDisplay ? WindowBackend::WaylandElseX11 : WindowBackend::X11;
}

std::unique_ptr<Window> OpenWindow(const WindowDesign& request, WarningHandler warn) {
    switch (ChooseWindowBackend(std::getenv("OSTRAVEL_BACKEND"), std::getenv("WAYLAND_DISPLAY"))) {
    case WindowBackend::Wayland:
        return std::make_unique<wayland::LayerWindow>(request);
    case WindowBackend::WaylandElseX11:
        try {
            return std::make_unique<wayland::LayerWindow>(request);
        } catch (const Error&) {
            // GNOME and weston offer no layer-shell: their Xwayland keeps the window on top.
        }
        break;
    case WindowBackend::X11:
        break;
    }
    return std::make_unique<x11::X11Window>(request, warn);
}

} // namespace platform
