// Window icons made from the program's 32-bit drawings.
#pragma once

#include "platform/toolkit.h"
#include "platform/windows/win32.h"

namespace platform::windows_detail {

// An icon with the image's alpha as its transparency; nullptr when GDI has no room.
HICON CreateIconFromImage(const Image& image);

} // namespace platform::windows_detail
