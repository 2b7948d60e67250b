// The pictures' XPM decoder over any lines: it decodes or refuses with a plain message, never
// reads past a line, and what it decodes, written out again as XPM, decodes to the same picture.
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "monitor/art/art.h"
#include "platform/process.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// Enough entries for the largest header (1 + 4096 colours + 1024 rows); the ones past the
// input's lines are null, as the decoder's "missing" lines.
constexpr std::size_t kMostLines = 1 + 4096 + 1024 + 1;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at <= text.size() && lines.size() < kMostLines - 1) {
        const std::size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return lines;
}

platform::Image Decode(const std::vector<std::string>& lines) {
    std::vector<const char*> pointers(kMostLines, nullptr);
    for (std::size_t i = 0; i < lines.size(); ++i) pointers[i] = lines[i].c_str();
    return art::DecodeXpm(pointers.data());
}

// The picture as XPM again, with keys of its own choosing.
std::vector<std::string> Encoded(const platform::Image& image) {
    std::map<std::uint32_t, std::string> keys;
    for (std::uint32_t pixel : image.Pixels) keys.emplace(pixel, "");
    const std::string alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    int charsPerPixel = 1;
    for (std::size_t room = alphabet.size(); room < keys.size(); room *= alphabet.size()) ++charsPerPixel;
    std::size_t index = 0;
    std::vector<std::string> lines{std::to_string(image.Width) + " " + std::to_string(image.Height) + " " +
                                   std::to_string(keys.size()) + " " + std::to_string(charsPerPixel)};
    for (auto& [pixel, key] : keys) {
        for (std::size_t rest = index, place = 0; place < std::size_t(charsPerPixel); ++place, rest /= alphabet.size())
            key += alphabet[rest % alphabet.size()];
        ++index;
        char colour[16];
        std::snprintf(colour, sizeof colour, "#%06X", pixel & 0xFFFFFFu);
        lines.push_back(key + " c " + (pixel == 0 ? std::string("None") : std::string(colour)));
    }
    for (int y = 0; y < image.Height; ++y) {
        std::string row;
        for (int x = 0; x < image.Width; ++x) row += keys[image.Pixels[std::size_t(y) * image.Width + x]];
        lines.push_back(row);
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> lines = Lines(std::string(reinterpret_cast<const char*>(data), size));
    platform::Image image;
    try {
        image = Decode(lines);
    } catch (const platform::Error& refused) {
        fuzz::Require(std::string(refused.what()).rfind("malformed XPM: ", 0) == 0, "a refusal says what it is",
                      refused.what());
        return 0;
    }
    fuzz::Require(image.Width >= 1 && image.Height >= 1 &&
                      image.Pixels.size() == std::size_t(image.Width) * std::size_t(image.Height),
                  "a decoded picture has one pixel per place");
    for (std::uint32_t pixel : image.Pixels)
        fuzz::Require(pixel == 0 || pixel >> 24 == 0xFF, "a pixel is transparent or opaque");
    const platform::Image again = Decode(Encoded(image));
    fuzz::Require(again.Width == image.Width && again.Height == image.Height && again.Pixels == image.Pixels,
                  "a decoded picture written out again decodes the same");
    return 0;
}
