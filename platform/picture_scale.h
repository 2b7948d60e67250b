// The pictures on dense screens: drawn at a whole multiple of their size, pixel for pixel, so
// that they keep their share of the window as the text and the window grow, and stay crisp.
#pragma once

#include <cmath>
#include <cstddef>

#include "platform/toolkit.h"

namespace platform {

// 1 below 192 dpi (natural size), then the whole multiple of 96 dpi: 2 from 192, 3 from 288.
inline int PictureScale(double dpi) {
    if (!(dpi >= 192)) return 1;
    return static_cast<int>(std::floor(dpi / 96));
}

// The image `factor` times as wide and high, each pixel a factor x factor square (nearest
// neighbour); an incomplete image or a factor below 2 comes back as it is.
inline Image ScaledUp(const Image& image, int factor) {
    if (factor < 2 || image.Width <= 0 || image.Height <= 0 ||
        image.Pixels.size() < static_cast<std::size_t>(image.Width) * image.Height)
        return image;
    Image scaled{image.Width * factor, image.Height * factor, {}};
    scaled.Pixels.reserve(static_cast<std::size_t>(scaled.Width) * scaled.Height);
    for (int y = 0; y < scaled.Height; ++y) {
        const std::size_t row = static_cast<std::size_t>(y / factor) * image.Width;
        for (int x = 0; x < scaled.Width; ++x) scaled.Pixels.push_back(image.Pixels[row + x / factor]);
    }
    return scaled;
}

} // namespace platform
