#include "platform/windows/gui/surface_painter.h"

#include <cstring>

#include "platform/picture_scale.h"
#include "platform/windows/gui/dpi.h"
#include "platform/windows/wide_text.h"

namespace platform::windows_detail {
namespace {

void FillColour(HDC dc, const RECT& rect, Colour colour) {
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &rect, brush);
    ::DeleteObject(brush);
}

// The outline straddles the edge: half its width outside, the rest inside.
void DrawPanel(HDC dc, const Shape& shape, int dpi) {
    const RECT area = PixelsFromTwipsRect(shape.Rect, dpi);
    FillColour(dc, area, shape.FillColor);
    const int width = shape.BorderWidth;
    if (width <= 0) return;
    const int outside = width / 2;
    const int inside = width - outside;
    const RECT outer{area.left - outside, area.top - outside, area.right + outside, area.bottom + outside};
    const RECT inner{area.left + inside, area.top + inside, area.right - inside, area.bottom - inside};
    FillColour(dc, {outer.left, outer.top, outer.right, inner.top}, shape.BorderColor);
    FillColour(dc, {outer.left, inner.bottom, outer.right, outer.bottom}, shape.BorderColor);
    FillColour(dc, {outer.left, inner.top, inner.left, inner.bottom}, shape.BorderColor);
    FillColour(dc, {inner.right, inner.top, outer.right, inner.bottom}, shape.BorderColor);
}

UINT AlignmentFlags(TextAlign alignment) {
    switch (alignment) {
    case TextAlign::Right: return DT_RIGHT;
    case TextAlign::Center: return DT_CENTER;
    case TextAlign::Left: break;
    }
    return DT_LEFT;
}

} // namespace

HBITMAP CreateImageBitmap(const Image& image) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.Width;
    info.bmiHeader.biHeight = -image.Height; // rows top to bottom, as the image holds them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) return nullptr;
    // 0xAARRGGBB in memory is blue, green, red, alpha: the DIB's own byte order.
    const std::size_t count = static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height);
    if (image.Pixels.size() >= count) std::memcpy(bits, image.Pixels.data(), count * sizeof(std::uint32_t));
    return bitmap;
}

SurfacePainter::~SurfacePainter() {
    for (auto& entry : fonts_) ::DeleteObject(entry.second);
    for (auto& entry : bitmaps_) ::DeleteObject(entry.second);
}

HFONT SurfacePainter::Font(const FontSpec& wanted, int dpi) {
    const FontKey key{wanted.Name, wanted.Size, wanted.Weight, wanted.Charset, dpi};
    if (auto found = fonts_.find(key); found != fonts_.end()) return found->second;
    // A negative height asks for the character height; the Swiss family steers the font
    // mapper to a sans-serif face with the charset's glyphs when the face itself is missing.
    HFONT font = ::CreateFontW(-FontPixelHeight(wanted.Size, dpi), 0, 0, 0, wanted.Weight, FALSE, FALSE, FALSE,
                               static_cast<BYTE>(wanted.Charset), OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               VARIABLE_PITCH | FF_SWISS, WideFromUtf8(wanted.Name).c_str());
    fonts_.emplace(key, font);
    return font;
}

HBITMAP SurfacePainter::Bitmap(const Image& image, int factor) {
    const std::pair<const Image*, int> key{&image, factor};
    if (auto found = bitmaps_.find(key); found != bitmaps_.end()) return found->second;
    HBITMAP bitmap = CreateImageBitmap(ScaledUp(image, factor));
    bitmaps_.emplace(key, bitmap);
    return bitmap;
}

void SurfacePainter::PaintInto(HDC dc, const Surface& surface, int clientWidth, int clientHeight, int dpi) {
    const RECT client{0, 0, clientWidth, clientHeight};
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));
    if (surface.Panel) DrawPanel(dc, *surface.Panel, dpi);

    ::SetBkMode(dc, TRANSPARENT);
    for (const Label* label : surface.Labels) {
        if (label == nullptr) continue;
        RECT area = PixelsFromTwipsRect(label->Rect, dpi);
        HGDIOBJ previous = ::SelectObject(dc, Font(label->Font, dpi));
        ::SetTextColor(dc, label->ForeColor);
        const std::wstring caption = WideFromUtf8(label->Caption);
        ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &area,
                    DT_SINGLELINE | DT_NOPREFIX | DT_TOP | AlignmentFlags(label->Alignment));
        ::SelectObject(dc, previous);
    }

    HDC source = ::CreateCompatibleDC(dc);
    // Natural size, or its whole multiple on a dense screen: never stretched to the control.
    const int factor = PictureScale(dpi);
    for (const Picture* picture : surface.Pictures) {
        if (picture == nullptr || !picture->Visible || picture->Source == nullptr) continue;
        HBITMAP bitmap = Bitmap(*picture->Source, factor);
        if (bitmap == nullptr) continue;
        const RECT area = PixelsFromTwipsRect(picture->Rect, dpi);
        HGDIOBJ previous = ::SelectObject(source, bitmap);
        ::BitBlt(dc, area.left, area.top, picture->Source->Width * factor, picture->Source->Height * factor, source, 0,
                 0, SRCCOPY);
        ::SelectObject(source, previous);
    }
    ::DeleteDC(source);
}

void SurfacePainter::PaintBuffered(HDC target, const Surface& surface, int clientWidth, int clientHeight, int dpi) {
    if (clientWidth <= 0 || clientHeight <= 0) return;
    HDC buffer = ::CreateCompatibleDC(target);
    HBITMAP picture = ::CreateCompatibleBitmap(target, clientWidth, clientHeight);
    if (buffer == nullptr || picture == nullptr) {
        // No room for a second picture: draw straight into the window.
        if (picture) ::DeleteObject(picture);
        if (buffer) ::DeleteDC(buffer);
        PaintInto(target, surface, clientWidth, clientHeight, dpi);
        return;
    }
    HGDIOBJ previous = ::SelectObject(buffer, picture);
    PaintInto(buffer, surface, clientWidth, clientHeight, dpi);
    ::BitBlt(target, 0, 0, clientWidth, clientHeight, buffer, 0, 0, SRCCOPY);
    ::SelectObject(buffer, previous);
    ::DeleteObject(picture);
    ::DeleteDC(buffer);
}

} // namespace platform::windows_detail
