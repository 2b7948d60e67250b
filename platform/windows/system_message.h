// The system's own text for an error code, one line.
#pragma once

#include <string>

namespace platform::windows_detail {

// FormatMessageW's text in UTF-8 without the line end and final full stop,
// or "error N" when the system has none.
std::string SystemMessage(unsigned long errorCode);

} // namespace platform::windows_detail
