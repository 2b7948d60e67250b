// Twips (1440 per inch) and font points to pixels at the display's dpi.
#pragma once

#include "platform/toolkit.h"
#include "platform/twips.h"

namespace platform::x11 {

struct PixelRect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};

// The common part of two rectangles; zero-sized when they don't meet.
PixelRect Intersection(const PixelRect& a, const PixelRect& b);

class Scale {
public:
    explicit Scale(double dpi) : dpi_(dpi) {}
    double Dpi() const { return dpi_; }
    int ToPixels(int twips) const;
    int ToTwips(int pixels) const;
    PixelRect ToPixels(const TwipsRect& rect) const;
    TwipsRect ToTwips(const PixelRect& rect) const;
    double FontPixels(double points) const { return platform::FontPixels(points, dpi_); }

private:
    double dpi_;
};

// The dpi that a resource-manager string sets with Xft.dpi; 96 when absent or unusable.
double DpiFromResources(const char* resources);

} // namespace platform::x11
