// Window icons made from the program's 32-bit drawings, and which drawing fits an icon size.
#pragma once

#include <vector>

#include "platform/toolkit.h"
#include "platform/windows/win32.h"

namespace platform::windows_detail {

// An icon with the image's alpha as its transparency; nullptr when GDI has no room.
HICON CreateIconFromImage(const Image& image);

// The first image of exactly that size, else the largest; nullptr when there is none.
const Image* ChooseIconImage(const std::vector<const Image*>& images, int size);

} // namespace platform::windows_detail
