// The fontconfig pattern both painters (X11 with Xft, Wayland with cairo) match a label's font
// with, so that both find the same face.
#pragma once

#include <fontconfig/fontconfig.h>

#include "platform/toolkit.h"

namespace platform {

// The request's family at `pixels`, its weight, upright and antialiased; for the Cyrillic
// charset, the letters the face must have. The caller destroys it.
FcPattern* FontRequestPattern(const FontSpec& request, double pixels);

} // namespace platform
