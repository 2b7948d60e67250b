// Outside text quoted for a one-line message on a terminal.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// text in double quotes; control characters, quotes and backslashes escaped so the
// message stays on one line, sends no escape sequence to the terminal and shows blanks
// at either end.
inline std::string QuotedForMessage(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20 || byte == 0x7f) {
            quoted += "\\x";
            quoted += kHex[byte >> 4];
            quoted += kHex[byte & 0xf];
        } else {
            quoted += c;
        }
    }
    quoted += '"';
    return quoted;
}

} // namespace platform
