// Drawing a Surface: the off-screen painter, the labels' fonts, the visual's pixel format, and
// the window icon as a property holds it.
#pragma once

#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/linux/gui/x11_display.h"
#include "platform/toolkit.h"

namespace platform::x11 {

// Conversion of the toolkit's colours to the pixel values of a true-colour visual.
class PixelFormat {
public:
    PixelFormat(unsigned long redMask, unsigned long greenMask, unsigned long blueMask);
    // 0x00BBGGRR, the window program's order.
    unsigned long FromColour(Colour colour) const;
    // 0xAARRGGBB, the order of Image pixels; alpha is dropped.
    unsigned long FromArgb(std::uint32_t argb) const;

private:
    struct Channel {
        unsigned long Mask = 0;
        int Shift = 0; // of the mask's lowest bit
        int Bits = 0;
        unsigned long Place(unsigned eightBits) const;
    };
    static Channel ChannelOf(unsigned long mask);
    unsigned long Compose(unsigned red, unsigned green, unsigned blue) const;
    Channel red_, green_, blue_;
};

// The labels' fonts, found through fontconfig and kept open for the life of the window.
class FontCache {
public:
    FontCache(Display* display, int screen, const Scale& scale);
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // The closest face to the request that has the glyphs of its charset, antialiased.
    // Throws platform::Error when fontconfig finds no font at all.
    XftFont* Get(const FontSpec& request);

private:
    XftFont* Open(const FontSpec& request);
    Display* display_;
    int screen_;
    Scale scale_;
    std::map<std::tuple<std::string, double, int, int>, XftFont*> fonts_;
};

// The window icon as the _NET_WM_ICON property holds it.

// One image per size (of several variants of a size, the one with the most colours), each as
// width, height, then the 0xAARRGGBB pixels row by row; format-32 properties are arrays of long.
std::vector<long> NetWmIconData(const std::vector<const Image*>& icons);

// Draws a Surface off screen and puts it on the window in one copy, so nothing flickers.
class Painter {
public:
    Painter(Display* display, int screen, ::Window target, const Scale& scale);
    ~Painter();
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;

    // Draws the whole surface over the window background into a width x height frame and shows it.
    void Paint(const Surface& surface, int width, int height);
    // How far a line of `text` advances, and how tall a line of `font` is, in pixels.
    int TextWidth(const FontSpec& font, const std::string& text);
    int LineHeight(const FontSpec& font);

private:
    void EnsureFrame(int width, int height);
    void DrawShape(const Shape& shape);
    void DrawLabel(const Label& label);
    void DrawPicture(const Picture& picture);
    XImage* ConvertedImage(const Image& image);

    Display* display_;
    ::Window target_;
    Scale scale_;
    Visual* visual_;
    Colormap colormap_;
    int depth_;
    PixelFormat format_;
    FontCache fonts_;
    GC gc_;
    Pixmap frame_ = 0;
    int frame_width_ = 0;
    int frame_height_ = 0;
    XftDraw* text_ = nullptr;
    // Pictures are static data: each is scaled for the dpi and converted to the visual's format once.
    std::map<const Image*, XImage*> images_;
};

} // namespace platform::x11
