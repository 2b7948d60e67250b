// A Surface drawn into an image instead of a window: what the window would show.
#pragma once

#include "platform/toolkit.h"

namespace platform::windows_detail {

// Opaque 0xFFRRGGBB pixels of a client area of the given size in pixels.
Image RenderSurface(const Surface& surface, int width, int height, int dpi);

} // namespace platform::windows_detail
