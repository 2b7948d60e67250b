#include "platform/linux/gui/x11_icon.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <set>
#include <utility>

namespace platform::x11 {
namespace {

std::size_t ColourCount(const Image& image) {
    return std::set<std::uint32_t>(image.Pixels.begin(), image.Pixels.end()).size();
}

bool Complete(const Image& image) {
    return image.Width > 0 && image.Height > 0 &&
           image.Pixels.size() == static_cast<std::size_t>(image.Width) * image.Height;
}

} // namespace

std::vector<long> NetWmIconData(const std::vector<const Image*>& icons) {
    // Keyed largest first, the order window managers scan.
    std::map<std::pair<int, int>, const Image*, std::greater<>> best;
    for (const Image* image : icons) {
        if (!image || !Complete(*image)) continue;
        const Image*& chosen = best[{image->Width, image->Height}];
        if (!chosen || ColourCount(*image) > ColourCount(*chosen)) chosen = image;
    }
    std::vector<long> data;
    for (const auto& [size, image] : best) {
        data.push_back(size.first);
        data.push_back(size.second);
        for (std::uint32_t pixel : image->Pixels) data.push_back(static_cast<long>(pixel));
    }
    return data;
}

} // namespace platform::x11
