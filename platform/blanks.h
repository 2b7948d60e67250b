// What a blank is, and trimming blanks off a text's ends: one rule for every reader of text.
#pragma once

#include <string_view>

namespace platform {

// Blanks in a text a person typed (an argument, a stored value): spaces and tabs. Text the
// system writes a line at a time (a kernel attribute file, a system message) also ends in line
// ends, which go with the blanks there.
enum class Blanks { SpacesAndTabs, WithLineEnds };

template <class Char>
constexpr bool IsBlank(Char c, Blanks blanks = Blanks::SpacesAndTabs) {
    if (c == Char(' ') || c == Char('\t')) return true;
    return blanks == Blanks::WithLineEnds &&
           (c == Char('\n') || c == Char('\r') || c == Char('\v') || c == Char('\f'));
}

namespace blanks_detail {
template <class Char>
constexpr std::basic_string_view<Char> Trim(std::basic_string_view<Char> text, Blanks blanks) {
    while (!text.empty() && IsBlank(text.front(), blanks)) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back(), blanks)) text.remove_suffix(1);
    return text;
}
} // namespace blanks_detail

// text without the blanks at either end.
constexpr std::string_view TrimBlanks(std::string_view text, Blanks blanks = Blanks::SpacesAndTabs) {
    return blanks_detail::Trim(text, blanks);
}
constexpr std::wstring_view TrimBlanks(std::wstring_view text, Blanks blanks = Blanks::SpacesAndTabs) {
    return blanks_detail::Trim(text, blanks);
}

} // namespace platform
