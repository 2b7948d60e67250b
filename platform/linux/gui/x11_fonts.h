// The labels' fonts, found through fontconfig and kept open for the life of the window.
#pragma once

#include <X11/Xft/Xft.h>

#include <map>
#include <string>
#include <tuple>

#include "platform/linux/gui/x11_scale.h"
#include "platform/toolkit.h"

namespace platform::x11 {

class FontCache {
public:
    FontCache(Display* display, int screen, const Scale& scale);
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // The closest face to the request that has the glyphs of its charset, antialiased.
    // Throws std::runtime_error when fontconfig finds no font at all.
    XftFont* Get(const FontSpec& request);

private:
    XftFont* Open(const FontSpec& request);
    Display* display_;
    int screen_;
    Scale scale_;
    std::map<std::tuple<std::string, double, int, int>, XftFont*> fonts_;
};

} // namespace platform::x11
