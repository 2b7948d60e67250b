// Drawing a Surface with cairo into shared memory the compositor reads: the buffers, the labels'
// fonts found through fontconfig as the X11 painter finds them, and the layout at a dpi (96 times
// the output's scale), so that the panel looks as it does on X11 at that dpi.
#pragma once

#include <cairo.h>
#include <wayland-client.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/toolkit.h"

namespace platform::wayland {

// The labels' fonts, kept open for the life of the painter.
class FontCache {
public:
    FontCache() = default;
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // The closest face to the request that has the glyphs of its charset, at its size in pixels
    // at `dpi`, hinted and antialiased as fontconfig's settings say. Throws platform::Error when
    // fontconfig finds no font at all.
    cairo_scaled_font_t* Get(const FontSpec& request, double dpi);

private:
    std::map<std::tuple<std::string, double, int, int, double>, cairo_scaled_font_t*> fonts_;
};

// Draws the whole surface over the window background into a width x height frame at `dpi`.
class SurfaceDrawing {
public:
    void Draw(cairo_t* cairo, const Surface& surface, int width, int height, double dpi);
    // A label's text measured as Draw lays it out at `dpi`, in pixels.
    int TextWidth(const FontSpec& font, const std::string& text, double dpi);
    int LineHeight(const FontSpec& font, double dpi);

private:
    void DrawShape(cairo_t* cairo, const Shape& shape, double dpi);
    void DrawLabel(cairo_t* cairo, const Label& label, double dpi);
    void DrawPicture(cairo_t* cairo, const Picture& picture, double dpi);
    cairo_surface_t* PictureAt(const Image& image, int factor);

    FontCache fonts_;
    // Pictures are static data: each is scaled for the dpi and converted once.
    std::map<std::pair<const Image*, int>, std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)>> pictures_;
};

// A frame in shared memory that the compositor reads until it releases it.
struct ShmBuffer {
    wl_buffer* Handle = nullptr;
    void* Data = nullptr;
    std::size_t Size = 0;
    int Width = 0;
    int Height = 0;
    bool Held = false; // attached and not yet released by the compositor
    ~ShmBuffer();
};

// Draws surfaces into shared-memory buffers, a free one each time.
class Painter {
public:
    explicit Painter(wl_shm* shm) : shm_(shm) {}

    // The frame to attach, or null when the compositor still holds every buffer it may have.
    // Throws platform::Error when shared memory can't be had.
    wl_buffer* Paint(const Surface& surface, int width, int height, double dpi);
    int TextWidth(const FontSpec& font, const std::string& text, double dpi) { return drawing_.TextWidth(font, text, dpi); }
    int LineHeight(const FontSpec& font, double dpi) { return drawing_.LineHeight(font, dpi); }
    // The surface the buffers were attached to is gone: the compositor shows them no more, and
    // may never say it let go of them.
    void SurfaceGone();

private:
    ShmBuffer* FreeBuffer(int width, int height);

    wl_shm* shm_;
    std::vector<std::unique_ptr<ShmBuffer>> buffers_;
    SurfaceDrawing drawing_;
};

} // namespace platform::wayland
