// The properties that make the window a small fixed, frameless, named window for the manager.
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "platform/linux/gui/x11_connection.h"
#include "platform/linux/gui/x11_scale.h"
#include "platform/toolkit.h"

namespace platform::x11 {

// WM_NAME and _NET_WM_NAME (UTF-8).
void SetTitle(const Connection& connection, ::Window window, const std::string& title);
// WM_CLASS, WM_PROTOCOLS with WM_DELETE_WINDOW, WM_HINTS, _NET_WM_PID and no decorations.
void SetIdentity(const Connection& connection, ::Window window);
// The size can't change (min = max) and the position is the program's own.
void SetPlacementHints(const Connection& connection, ::Window window, const PixelRect& placement);
void SetIcon(const Connection& connection, ::Window window, const std::vector<const Image*>& icons);

} // namespace platform::x11
