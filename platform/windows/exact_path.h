// File names the Win32 path rules would change.
#pragma once

#include <string>
#include <string_view>

namespace platform::windows_detail {

// Win32 drops the blanks and dots at the end of a name, so "power.txt " would open
// "power.txt", another file than the one named. Such a name gets the verbatim form
// (\\?\C:\folder\power.txt ), which the system takes as it is; every other name is
// returned unchanged.
std::wstring ExactFileName(std::wstring_view name);

} // namespace platform::windows_detail
