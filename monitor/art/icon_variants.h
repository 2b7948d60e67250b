// Every drawing of the percent-sign icon with the colour depth it is meant for, as the
// program's icon file holds them; the window takes the best one of each size (IconImages).
#pragma once

#include <vector>

#include "platform/toolkit.h"

namespace art {

struct IconVariant {
    const platform::Image* Image = nullptr;
    int BitsPerPixel = 0; // 8: 256 colours, 4: 16 colours, 1: black and white
};

// 32 x 32 in 256 colours, 32 x 32 and 16 x 16 in 16 colours, 32 x 32 black and white.
const std::vector<IconVariant>& IconVariants();

} // namespace art
