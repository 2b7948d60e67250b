// Draws a Surface off screen and puts it on the window in one copy, so nothing flickers.
#pragma once

#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>

#include <map>
#include <optional>

#include "platform/linux/gui/x11_fonts.h"
#include "platform/linux/gui/x11_pixel_format.h"
#include "platform/linux/gui/x11_scale.h"
#include "platform/toolkit.h"

namespace platform::x11 {

class Painter {
public:
    Painter(Display* display, int screen, ::Window target, const Scale& scale);
    ~Painter();
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;

    // Draws the whole surface over the window background into a width x height frame and shows it.
    void Paint(const Surface& surface, int width, int height);

private:
    void EnsureFrame(int width, int height);
    void DrawShape(const Shape& shape);
    void DrawLabel(const Label& label);
    void DrawPicture(const Picture& picture);
    XImage* ConvertedImage(const Image& image);

    Display* display_;
    int screen_;
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
    // Pictures are static data: each is converted to the visual's format once.
    std::map<const Image*, XImage*> images_;
};

} // namespace platform::x11
