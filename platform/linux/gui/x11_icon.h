// The window icon as the _NET_WM_ICON property holds it.
#pragma once

#include <vector>

#include "platform/toolkit.h"

namespace platform::x11 {

// One image per size (of several variants of a size, the one with the most colours), each as
// width, height, then the 0xAARRGGBB pixels row by row; format-32 properties are arrays of long.
std::vector<long> NetWmIconData(const std::vector<const Image*>& icons);

} // namespace platform::x11
