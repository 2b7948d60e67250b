// Moving the frameless window with the pointer while a button is held.
#pragma once

#include <X11/Xlib.h>

#include "platform/linux/gui/x11_connection.h"

namespace platform::x11 {

// Hands the move to the window manager, which follows the pointer until the button goes up.
// Returns at once; a button that is already up gets no move, or a cancelled one.
void AskManagerToMove(const Connection& connection, ::Window window, unsigned int xButton);

// Without a manager: follows the pointer until the button goes up, then returns.
void FollowPointer(const Connection& connection, ::Window window, unsigned int xButton);

} // namespace platform::x11
