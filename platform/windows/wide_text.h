// Conversions between the UTF-16 of the Win32 W functions and the UTF-8 the programs use.
#pragma once

#include <string>
#include <string_view>

namespace platform::windows_detail {

// Unpaired surrogates become U+FFFD.
std::string Utf8FromWide(std::wstring_view text);
// Invalid UTF-8 sequences become U+FFFD.
std::wstring WideFromUtf8(std::string_view text);

} // namespace platform::windows_detail
