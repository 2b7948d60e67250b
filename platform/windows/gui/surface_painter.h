// Draws a Surface with GDI: background, panel, labels, pictures.
#pragma once

#include <map>
#include <string>
#include <tuple>
#include <utility>

#include "platform/toolkit.h"
#include "platform/windows/win32.h"

namespace platform::windows_detail {

class SurfacePainter {
public:
    SurfacePainter() = default;
    SurfacePainter(const SurfacePainter&) = delete;
    SurfacePainter& operator=(const SurfacePainter&) = delete;
    ~SurfacePainter();

    // Draws the whole client area into target directly.
    void PaintInto(HDC target, const Surface& surface, int clientWidth, int clientHeight, int dpi);
    // Draws off screen first and copies the finished picture, so nothing flickers.
    void PaintBuffered(HDC target, const Surface& surface, int clientWidth, int clientHeight, int dpi);

private:
    using FontKey = std::tuple<std::string, double, int, int, int>; // face, points, weight, charset, dpi
    HFONT Font(const FontSpec& wanted, int dpi);
    // The picture at the dpi's whole multiple of its size, made once per picture and factor.
    HBITMAP Bitmap(const Image& image, int factor);

    std::map<FontKey, HFONT> fonts_;
    std::map<std::pair<const Image*, int>, HBITMAP> bitmaps_;
};

// A 32-bit top-down DIB section holding the image's pixels; nullptr when GDI has no room.
HBITMAP CreateImageBitmap(const Image& image);

} // namespace platform::windows_detail
