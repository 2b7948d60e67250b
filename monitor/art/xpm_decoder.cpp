// Decodes the small XPM subset the pictures are kept in: a "width height ncolors
// chars_per_pixel" header, colour lines "KEY c #RRGGBB" or "KEY c None", then the rows.
// The input is trusted C source, but it is still checked throughout so that a hand edit
// with a typo fails loudly instead of reading past a string or producing a wrong picture.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "monitor/art/art.h"
#include "platform/process.h"

namespace art {
namespace {

constexpr int kMaxSide = 1024;
constexpr int kMaxCharsPerPixel = 4;
constexpr int kMaxColours = 4096;
constexpr std::uint32_t kTransparent = 0x00000000;

[[noreturn]] void Fail(const std::string& what) {
    throw platform::Error("malformed XPM: " + what);
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
        std::size_t end = at;
        while (end < text.size() && text[end] != ' ' && text[end] != '\t') ++end;
        if (end > at) words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

int PositiveNumber(std::string_view word, int limit, const char* name) {
    int value = 0;
    auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || value < 1 || value > limit)
        Fail(std::string(name) + " \"" + std::string(word) + "\" is not a number from 1 to " +
             std::to_string(limit));
    return value;
}

// Reads at most limit + 1 characters, so an unterminated or overlong line stops the scan early.
std::string_view BoundedLine(const char* line, std::size_t limit, const std::string& name) {
    if (line == nullptr) Fail(name + " is missing");
    std::size_t length = 0;
    while (length <= limit && line[length] != '\0') ++length;
    return std::string_view(line, length);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? char(a[i] - 'A' + 'a') : a[i];
        char y = b[i] >= 'A' && b[i] <= 'Z' ? char(b[i] - 'A' + 'a') : b[i];
        if (x != y) return false;
    }
    return true;
}

std::uint32_t ParseColour(std::string_view value, const std::string& where) {
    if (EqualsIgnoringCase(value, "None")) return kTransparent;
    std::uint32_t rgb = 0;
    if (value.size() == 7 && value[0] == '#') {
        auto [end, error] = std::from_chars(value.data() + 1, value.data() + 7, rgb, 16);
        if (error == std::errc() && end == value.data() + 7) return 0xFF000000u | rgb;
    }
    Fail(where + ": colour \"" + std::string(value) + "\" is neither #RRGGBB nor None");
}

} // namespace

platform::Image DecodeXpm(const char* const* xpm) {
    if (xpm == nullptr) Fail("no data");
    auto header = Words(BoundedLine(xpm[0], 64, "header"));
    if (header.size() != 4) Fail("header must be \"width height ncolors chars_per_pixel\"");
    const int width = PositiveNumber(header[0], kMaxSide, "width");
    const int height = PositiveNumber(header[1], kMaxSide, "height");
    const int colours = PositiveNumber(header[2], kMaxColours, "ncolors");
    const int charsPerPixel = PositiveNumber(header[3], kMaxCharsPerPixel, "chars_per_pixel");

    std::unordered_map<std::string_view, std::uint32_t> palette;
    for (int i = 0; i < colours; ++i) {
        const std::string where = "colour line " + std::to_string(i + 1);
        auto line = BoundedLine(xpm[1 + i], 64, where);
        if (line.size() <= std::size_t(charsPerPixel)) Fail(where + " is too short");
        auto key = line.substr(0, charsPerPixel);
        auto rest = Words(line.substr(charsPerPixel));
        if (rest.size() != 2 || rest[0] != "c") Fail(where + " must be \"KEY c COLOUR\"");
        if (!palette.emplace(key, ParseColour(rest[1], where)).second)
            Fail(where + " repeats the key \"" + std::string(key) + "\"");
    }

    platform::Image image;
    image.Width = width;
    image.Height = height;
    image.Pixels.reserve(std::size_t(width) * std::size_t(height));
    const std::size_t rowLength = std::size_t(width) * std::size_t(charsPerPixel);
    for (int y = 0; y < height; ++y) {
        const std::string where = "row " + std::to_string(y + 1);
        auto row = BoundedLine(xpm[1 + colours + y], rowLength, where);
        if (row.size() != rowLength)
            Fail(where + " is not " + std::to_string(width) + " pixels long");
        for (std::size_t at = 0; at < rowLength; at += std::size_t(charsPerPixel)) {
            auto found = palette.find(row.substr(at, charsPerPixel));
            if (found == palette.end())
                Fail(where + " uses the unknown key \"" + std::string(row.substr(at, charsPerPixel)) + "\"");
            image.Pixels.push_back(found->second);
        }
    }
    return image;
}

} // namespace art
