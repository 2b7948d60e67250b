#include "platform/windows/gui/icons.h"

#include <vector>

#include "platform/windows/gui/surface_painter.h"

namespace platform::windows_detail {

const Image* ChooseIconImage(const std::vector<const Image*>& images, int size) {
    const Image* largest = nullptr;
    for (const Image* image : images) {
        if (image == nullptr) continue;
        if (image->Width == size && image->Height == size) return image;
        if (largest == nullptr || image->Width * image->Height > largest->Width * largest->Height) largest = image;
    }
    return largest;
}

HICON CreateIconFromImage(const Image& image) {
    HBITMAP colour = CreateImageBitmap(image);
    // The AND mask: set where the drawing is transparent, rows padded to 16 bits.
    const int stride = ((image.Width + 15) / 16) * 2;
    std::vector<unsigned char> maskBits(static_cast<std::size_t>(stride) * image.Height, 0);
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * image.Width + x;
            if (at < image.Pixels.size() && (image.Pixels[at] >> 24) == 0)
                maskBits[static_cast<std::size_t>(y) * stride + x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
        }
    HBITMAP mask = ::CreateBitmap(image.Width, image.Height, 1, 1, maskBits.data());
    HICON icon = nullptr;
    if (colour && mask) {
        ICONINFO info{};
        info.fIcon = TRUE;
        info.hbmMask = mask;
        info.hbmColor = colour;
        icon = ::CreateIconIndirect(&info);
    }
    if (colour) ::DeleteObject(colour);
    if (mask) ::DeleteObject(mask);
    return icon;
}

} // namespace platform::windows_detail
