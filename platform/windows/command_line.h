// Windows detail of ArgumentText: the system hands over one unsplit command line.
#pragma once

#include <string_view>

namespace platform::windows_detail {

// What follows the program's own name and the blanks after it, untouched. The name ends
// at the first blank outside double quotes, so "C:\Program Files\x.exe" counts as one name.
std::wstring_view ArgumentsAfterProgramName(std::wstring_view commandLine);

} // namespace platform::windows_detail
