// The dpi Windows uses for a window or for the whole system, on every version that has one.
#pragma once

#include "platform/windows/win32.h"

namespace platform::windows_detail {

int SystemDpi();
// The dpi of the monitor the window is on where the system tells it (Windows 10 and later).
int WindowDpi(HWND window);

} // namespace platform::windows_detail
