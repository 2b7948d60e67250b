// The window's states as the window manager keeps them (EWMH _NET_WM_STATE, ICCCM WM_STATE).
#pragma once

#include <X11/Xlib.h>

#include "platform/linux/gui/x11_connection.h"
#include "platform/toolkit.h"

namespace platform::x11 {

// Before the first map: the states the manager starts the window with.
void WriteInitialStates(const Connection& connection, ::Window window, bool above);

// After mapping, only a request to the root changes a state; writing the property then is
// ignored by the manager and erases the states it keeps there.
void RequestState(const Connection& connection, ::Window window, bool add, ::Atom state);

// Minimized when iconic or hidden, Maximized when maximised both ways.
WindowState ReadWindowState(const Connection& connection, ::Window window);

} // namespace platform::x11
