// The pictures and the icon of the window program, decoded from their XPM sources.
#pragma once

#include <vector>

#include "platform/toolkit.h"

namespace art {

// 32 x 32, opaque, light-grey 0xDEDEDE background.
const platform::Image& ChargingPicture();
const platform::Image& MainsPicture();
const platform::Image& BatteryPicture();

// The percent-sign icon, every size, largest first, transparent background.
std::vector<const platform::Image*> IconImages();

// Decodes an XPM image held as C source (the array of strings an .xpm file declares).
// Colours "None" become fully transparent pixels; others are opaque 0xFFRRGGBB.
// Throws platform::Error on malformed data.
platform::Image DecodeXpm(const char* const* xpm);

} // namespace art
