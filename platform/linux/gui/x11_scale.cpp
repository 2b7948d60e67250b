#include "platform/linux/gui/x11_scale.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <algorithm>
#include <cmath>
#include <locale>
#include <sstream>
#include <string>

namespace platform::x11 {

int Scale::ToPixels(int twips) const { return PixelsFromTwips(twips, dpi_); }

int Scale::ToTwips(int pixels) const { return TwipsFromPixels(pixels, dpi_); }

PixelRect Scale::ToPixels(const TwipsRect& rect) const {
    return {ToPixels(rect.Left), ToPixels(rect.Top), ToPixels(rect.Width), ToPixels(rect.Height)};
}

TwipsRect Scale::ToTwips(const PixelRect& rect) const {
    return {ToTwips(rect.X), ToTwips(rect.Y), ToTwips(rect.Width), ToTwips(rect.Height)};
}

PixelRect Intersection(const PixelRect& a, const PixelRect& b) {
    const int left = std::max(a.X, b.X), top = std::max(a.Y, b.Y);
    const int right = std::min(a.X + a.Width, b.X + b.Width), bottom = std::min(a.Y + a.Height, b.Y + b.Height);
    if (right <= left || bottom <= top) return {left, top, 0, 0};
    return {left, top, right - left, bottom - top};
}

double DpiFromResources(const char* resources) {
    constexpr double fallback = 96.0;
    if (!resources) return fallback;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    if (!database) return fallback;
    double dpi = fallback;
    char* type = nullptr;
    XrmValue value{};
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr) {
        std::string text(value.addr, value.size);
        std::istringstream in(text);
        in.imbue(std::locale::classic());
        double parsed = 0;
        // Beyond these bounds the value is a typing error, not a screen.
        if (in >> parsed && parsed >= 24.0 && parsed <= 960.0) dpi = parsed;
    }
    XrmDestroyDatabase(database);
    return dpi;
}

} // namespace platform::x11
