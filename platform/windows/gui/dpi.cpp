#include "platform/windows/gui/dpi.h"

#include <cmath>

namespace platform::windows_detail {
namespace {
int RoundedRatio(long long value, long long multiplier, long long divisor) {
    return static_cast<int>(std::llround(static_cast<double>(value * multiplier) / static_cast<double>(divisor)));
}
} // namespace

int PixelsFromTwips(int twips, int dpi) { return RoundedRatio(twips, dpi, kTwipsPerInch); }
int TwipsFromPixels(int pixels, int dpi) { return RoundedRatio(pixels, kTwipsPerInch, dpi); }
int FontPixelHeight(double points, int dpi) { return static_cast<int>(std::lround(points * dpi / kPointsPerInch)); }

} // namespace platform::windows_detail
