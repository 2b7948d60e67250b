// Which drawing of the icon fits a given icon size.
#pragma once

#include <vector>

#include "platform/toolkit.h"

namespace platform::windows_detail {

// The first image of exactly that size, else the largest; nullptr when there is none.
const Image* ChooseIconImage(const std::vector<const Image*>& images, int size);

} // namespace platform::windows_detail
