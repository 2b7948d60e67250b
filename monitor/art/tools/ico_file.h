// Builds a Windows icon file (.ico) from the icon's drawings: one palette-based BMP entry per
// drawing at its own colour depth, with the AND mask taking the transparent pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "monitor/art/icon_variants.h"

namespace art {

// Throws platform::Error when a drawing doesn't fit its depth (too many colours, a colour
// outside the 16-colour or black-and-white palette, a half-transparent pixel, a side over 256).
std::vector<std::uint8_t> EncodeIco(const std::vector<IconVariant>& variants);

} // namespace art
