#include "platform/linux/gui/x11_painter.h"

#include <X11/Xutil.h>

#include <cstdlib>

namespace platform::x11 {
namespace {

// The desktop's standard window background.
constexpr Colour kWindowBackground = 0x00FFFFFF;

XRenderColor RenderColour(Colour colour) {
    auto channel = [](unsigned value) { return static_cast<unsigned short>(value * 0x101); };
    return {channel(colour & 0xFF), channel((colour >> 8) & 0xFF), channel((colour >> 16) & 0xFF), 0xFFFF};
}

} // namespace

Painter::Painter(Display* display, int screen, ::Window target, const Scale& scale)
    : display_(display),
      screen_(screen),
      target_(target),
      scale_(scale),
      visual_(DefaultVisual(display, screen)),
      colormap_(DefaultColormap(display, screen)),
      depth_(DefaultDepth(display, screen)),
      format_(visual_->red_mask, visual_->green_mask, visual_->blue_mask),
      fonts_(display, screen, scale),
      gc_(XCreateGC(display, target, 0, nullptr)) {}

Painter::~Painter() {
    for (auto& [source, image] : images_) XDestroyImage(image);
    if (text_) XftDrawDestroy(text_);
    if (frame_) XFreePixmap(display_, frame_);
    XFreeGC(display_, gc_);
}

void Painter::EnsureFrame(int width, int height) {
    if (frame_ && frame_width_ == width && frame_height_ == height) return;
    if (text_) XftDrawDestroy(text_);
    if (frame_) XFreePixmap(display_, frame_);
    frame_ = XCreatePixmap(display_, target_, width, height, depth_);
    text_ = XftDrawCreate(display_, frame_, visual_, colormap_);
    frame_width_ = width;
    frame_height_ = height;
}

void Painter::Paint(const Surface& surface, int width, int height) {
    if (width <= 0 || height <= 0) return;
    EnsureFrame(width, height);
    XSetForeground(display_, gc_, format_.FromColour(kWindowBackground));
    XFillRectangle(display_, frame_, gc_, 0, 0, width, height);
    if (surface.Panel) DrawShape(*surface.Panel);
    for (const Label* label : surface.Labels)
        if (label) DrawLabel(*label);
    for (const Picture* picture : surface.Pictures)
        if (picture && picture->Visible && picture->Source) DrawPicture(*picture);
    XCopyArea(display_, frame_, target_, gc_, 0, 0, width, height, 0, 0);
}

void Painter::DrawShape(const Shape& shape) {
    PixelRect rect = scale_.ToPixels(shape.Rect);
    if (rect.Width <= 0 || rect.Height <= 0) return;
    XSetForeground(display_, gc_, format_.FromColour(shape.FillColor));
    XFillRectangle(display_, frame_, gc_, rect.X, rect.Y, rect.Width, rect.Height);
    if (shape.BorderWidth <= 0) return;
    // A wide line is centred on its path: the path runs through the edge pixels, so the
    // outer half of the outline falls outside the rectangle.
    XSetForeground(display_, gc_, format_.FromColour(shape.BorderColor));
    XSetLineAttributes(display_, gc_, shape.BorderWidth, LineSolid, CapProjecting, JoinMiter);
    XDrawRectangle(display_, frame_, gc_, rect.X, rect.Y, rect.Width - 1, rect.Height - 1);
    XSetLineAttributes(display_, gc_, 0, LineSolid, CapButt, JoinMiter);
}

void Painter::DrawLabel(const Label& label) {
    if (label.Caption.empty()) return;
    PixelRect rect = scale_.ToPixels(label.Rect);
    if (rect.Width <= 0 || rect.Height <= 0) return;
    XftFont* font = fonts_.Get(label.Font);
    const auto* text = reinterpret_cast<const FcChar8*>(label.Caption.data());
    const int length = static_cast<int>(label.Caption.size());
    XGlyphInfo extents{};
    XftTextExtentsUtf8(display_, font, text, length, &extents);
    int x = rect.X;
    if (label.Alignment == TextAlign::Right) x = rect.X + rect.Width - extents.xOff;
    if (label.Alignment == TextAlign::Center) x = rect.X + (rect.Width - extents.xOff) / 2;
    XRectangle clip{static_cast<short>(rect.X), static_cast<short>(rect.Y), static_cast<unsigned short>(rect.Width),
                    static_cast<unsigned short>(rect.Height)};
    XftDrawSetClipRectangles(text_, 0, 0, &clip, 1);
    XRenderColor render = RenderColour(label.ForeColor);
    XftColor colour{};
    XftColorAllocValue(display_, visual_, colormap_, &render, &colour);
    XftDrawStringUtf8(text_, &colour, font, x, rect.Y + font->ascent, text, length);
    XftColorFree(display_, visual_, colormap_, &colour);
    XftDrawSetClip(text_, nullptr);
}

XImage* Painter::ConvertedImage(const Image& image) {
    auto found = images_.find(&image);
    if (found != images_.end()) return found->second;
    XImage* converted = XCreateImage(display_, visual_, depth_, ZPixmap, 0, nullptr, image.Width, image.Height,
                                     32, 0);
    converted->data = static_cast<char*>(std::malloc(static_cast<std::size_t>(converted->bytes_per_line) *
                                                     image.Height));
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x)
            XPutPixel(converted, x, y, format_.FromArgb(image.Pixels[static_cast<std::size_t>(y) * image.Width + x]));
    images_.emplace(&image, converted);
    return converted;
}

void Painter::DrawPicture(const Picture& picture) {
    const Image& image = *picture.Source;
    if (image.Width <= 0 || image.Height <= 0 ||
        image.Pixels.size() < static_cast<std::size_t>(image.Width) * image.Height)
        return;
    PixelRect rect = scale_.ToPixels(picture.Rect);
    // Natural size: the picture is neither stretched nor cut to the control.
    XPutImage(display_, frame_, gc_, ConvertedImage(image), 0, 0, rect.X, rect.Y, image.Width, image.Height);
}

} // namespace platform::x11
