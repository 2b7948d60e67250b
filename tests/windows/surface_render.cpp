#include "tests/windows/surface_render.h"

#include <cstring>
#include <stdexcept>

#include "platform/windows/gui/surface_painter.h"

namespace platform::windows_detail {

Image RenderSurface(const Surface& surface, int width, int height, int dpi) {
    Image canvas{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, 0)};
    HBITMAP bitmap = CreateImageBitmap(canvas);
    HDC dc = ::CreateCompatibleDC(nullptr);
    if (bitmap == nullptr || dc == nullptr) {
        if (bitmap) ::DeleteObject(bitmap);
        if (dc) ::DeleteDC(dc);
        throw std::runtime_error("no room for a picture of the window");
    }
    HGDIOBJ previous = ::SelectObject(dc, bitmap);
    {
        SurfacePainter painter;
        painter.PaintInto(dc, surface, width, height, dpi);
    }
    ::GdiFlush();
    DIBSECTION section{};
    ::GetObjectW(bitmap, sizeof section, &section);
    std::memcpy(canvas.Pixels.data(), section.dsBm.bmBits, canvas.Pixels.size() * sizeof(std::uint32_t));
    for (std::uint32_t& pixel : canvas.Pixels) pixel |= 0xFF000000u; // GDI leaves alpha undefined
    ::SelectObject(dc, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return canvas;
}

} // namespace platform::windows_detail
