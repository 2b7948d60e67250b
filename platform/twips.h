// Twips and font points to pixels and back at a display's dots per inch, for the backends.
#pragma once

#include <cmath>

#include "platform/toolkit.h"

namespace platform {

constexpr int kTwipsPerInch = 1440;
constexpr int kPointsPerInch = 72;

// Both round to the nearest whole unit, halves away from zero.
inline int PixelsFromTwips(int twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}
inline int TwipsFromPixels(int pixels, double dpi) {
    return static_cast<int>(std::lround(pixels * kTwipsPerInch / dpi));
}
// A rectangle of pixels at `dpi`, in twips.
inline TwipsRect TwipsRectFromPixels(int x, int y, int width, int height, double dpi) {
    return {TwipsFromPixels(x, dpi), TwipsFromPixels(y, dpi), TwipsFromPixels(width, dpi), TwipsFromPixels(height, dpi)};
}
// Fonts are opened by pixel size so that text scales with the twips.
inline double FontPixels(double points, double dpi) { return points * dpi / kPointsPerInch; }

} // namespace platform
