// Conversion of the toolkit's colours to the pixel values of a true-colour visual.
#pragma once

#include <cstdint>

#include "platform/toolkit.h"

namespace platform::x11 {

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

} // namespace platform::x11
