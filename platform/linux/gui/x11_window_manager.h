// Whether an EWMH window manager is running now.
#pragma once

#include "platform/linux/gui/x11_connection.h"

namespace platform::x11 {

// A manager names its check window on the root and on that window itself; a manager that died
// leaves the root's property behind, pointing at a window that is gone or no longer says so.
bool HasLiveWindowManager(const Connection& connection);

} // namespace platform::x11
