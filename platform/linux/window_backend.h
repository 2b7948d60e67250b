// Which window system nevlin's window is opened on: the native Wayland panel where the compositor
// offers layer-shell, X11 (a plain X session, or Xwayland on GNOME and weston) otherwise.
#pragma once

namespace platform {

enum class WindowBackend {
    X11,
    Wayland,         // forced: a compositor without layer-shell is a failure
    WaylandElseX11,  // WAYLAND_DISPLAY is set: native if the compositor allows, else X11
};

// From OSTRAVEL_BACKEND ("x11" or "wayland" forces one; unset or empty chooses) and
// WAYLAND_DISPLAY. Throws platform::Error naming any other OSTRAVEL_BACKEND.
WindowBackend ChooseWindowBackend(const char* forced, const char* waylandDisplay);

} // namespace platform
