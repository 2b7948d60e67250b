// Input quoted for a one-line error report.
#pragma once

#include <string>
#include <string_view>

namespace Battery {

// text in double quotes; control characters, quotes and backslashes escaped so the
// report stays on one line and shows blanks at either end.
std::string QuotedForMessage(std::string_view text);

} // namespace Battery
