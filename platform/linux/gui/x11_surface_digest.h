// A compact record of everything a Surface shows, to tell whether a repaint would change anything.
#pragma once

#include <string>

#include "platform/toolkit.h"

namespace platform::x11 {

std::string SurfaceDigest(const Surface& surface);

} // namespace platform::x11
