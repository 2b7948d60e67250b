#include "platform/linux/gui/x11_pixel_format.h"

namespace platform::x11 {

PixelFormat::PixelFormat(unsigned long redMask, unsigned long greenMask, unsigned long blueMask)
    : red_(ChannelOf(redMask)), green_(ChannelOf(greenMask)), blue_(ChannelOf(blueMask)) {}

PixelFormat::Channel PixelFormat::ChannelOf(unsigned long mask) {
    Channel channel;
    channel.Mask = mask;
    if (!mask) return channel;
    while (!(mask & 1)) {
        mask >>= 1;
        ++channel.Shift;
    }
    while (mask & 1) {
        mask >>= 1;
        ++channel.Bits;
    }
    return channel;
}

unsigned long PixelFormat::Channel::Place(unsigned eightBits) const {
    if (!Mask) return 0;
    // Narrower channels keep the top bits; wider ones repeat them, so 255 stays full scale.
    unsigned long value = Bits <= 8 ? eightBits >> (8 - Bits)
                                    : (static_cast<unsigned long>(eightBits) * ((1ul << Bits) - 1)) / 255;
    return (value << Shift) & Mask;
}

unsigned long PixelFormat::Compose(unsigned red, unsigned green, unsigned blue) const {
    return red_.Place(red) | green_.Place(green) | blue_.Place(blue);
}

unsigned long PixelFormat::FromColour(Colour colour) const {
    return Compose(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

unsigned long PixelFormat::FromArgb(std::uint32_t argb) const {
    return Compose((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

} // namespace platform::x11
