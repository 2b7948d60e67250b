// Twips, points and pixels at a given dots-per-inch.
#pragma once

namespace platform::windows_detail {

constexpr int kTwipsPerInch = 1440;
constexpr int kPointsPerInch = 72;
constexpr int kDefaultDpi = 96;

// Both round to the nearest whole unit, halves away from zero.
int PixelsFromTwips(int twips, int dpi);
int TwipsFromPixels(int pixels, int dpi);
// The character height in pixels of a font of the given size in points.
int FontPixelHeight(double points, int dpi);

} // namespace platform::windows_detail
