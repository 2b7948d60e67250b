// Twips, points and pixels at a given dots-per-inch, as the Win32 calls want them.
#pragma once

#include <cmath>

#include "platform/toolkit.h"
#include "platform/twips.h"
#include "platform/windows/win32.h"

namespace platform::windows_detail {

constexpr int kDefaultDpi = 96;

using platform::PixelsFromTwips;
using platform::TwipsFromPixels;

// The character height in whole pixels of a font of the given size in points.
inline int FontPixelHeight(double points, int dpi) { return static_cast<int>(std::lround(FontPixels(points, dpi))); }

// A rectangle in twips as the pixel RECT the drawing and window calls take.
inline RECT PixelsFromTwipsRect(const TwipsRect& rect, int dpi) {
    const int left = PixelsFromTwips(rect.Left, dpi);
    const int top = PixelsFromTwips(rect.Top, dpi);
    return {left, top, left + PixelsFromTwips(rect.Width, dpi), top + PixelsFromTwips(rect.Height, dpi)};
}

} // namespace platform::windows_detail
