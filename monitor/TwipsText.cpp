// Placement values as text: plain decimal with "." whatever the locale, no exponent, no grouping.
#include <charconv>
#include <cmath>

#include "monitor/fNevlin.h"

std::string fNevlin::TwipsText(float twips) {
    if (twips == 0) twips = 0; // no "-0"
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, twips, std::chars_format::fixed);
    return std::string(text, result.ptr);
}

std::optional<float> fNevlin::TwipsValue(const std::string& text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    const char* first = text.data();
    const char* last = first + text.size();
    while (first != last && isBlank(*first)) ++first;
    while (last != first && isBlank(last[-1])) --last;

    float value = 0;
    const auto result = std::from_chars(first, last, value, std::chars_format::fixed);
    if (first == last || result.ec != std::errc() || result.ptr != last || !std::isfinite(value)) return std::nullopt;
    return value;
}
