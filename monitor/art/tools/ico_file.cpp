#include "monitor/art/tools/ico_file.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "platform/process.h"

namespace art {
namespace {

using Bytes = std::vector<std::uint8_t>;

// 0xRRGGBB; the display's standard 16 colours, in their usual index order, so that a
// 16-colour icon shows the same on a 16-colour screen.
const std::vector<std::uint32_t> kStandard16 = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
const std::vector<std::uint32_t> kBlackAndWhite = {0x000000, 0xFFFFFF};

constexpr std::size_t kDirectoryHeader = 6;
constexpr std::size_t kDirectoryEntry = 16;
constexpr std::size_t kInfoHeader = 40;

void Put16(Bytes& out, unsigned value) {
    out.push_back(std::uint8_t(value));
    out.push_back(std::uint8_t(value >> 8));
}

void Put32(Bytes& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

std::size_t RowBytes(int width, int bitsPerPixel) {
    return (std::size_t(width) * std::size_t(bitsPerPixel) + 31) / 32 * 4;
}

bool Transparent(std::uint32_t pixel, const std::string& name) {
    const std::uint32_t alpha = pixel >> 24;
    if (alpha != 0 && alpha != 0xFF) throw platform::Error(name + " has a half-transparent pixel");
    return alpha == 0;
}

// Index 0 is black in every palette: the screen under a transparent pixel is ANDed with 1
// and XORed with entry 0, which must therefore leave it as it is.
std::vector<std::uint32_t> PaletteFor(const platform::Image& image, int bitsPerPixel, const std::string& name) {
    if (bitsPerPixel == 1) return kBlackAndWhite;
    if (bitsPerPixel == 4) return kStandard16;
    if (bitsPerPixel != 8) throw platform::Error(name + ": only 1, 4 and 8 bits per pixel are written");
    std::vector<std::uint32_t> palette = {0x000000};
    for (std::uint32_t pixel : image.Pixels) {
        if (Transparent(pixel, name)) continue;
        const std::uint32_t rgb = pixel & 0xFFFFFF;
        if (std::find(palette.begin(), palette.end(), rgb) == palette.end()) palette.push_back(rgb);
    }
    if (palette.size() > 256) throw platform::Error(name + " has more than 256 colours");
    palette.resize(256, 0x000000);
    return palette;
}

Bytes EncodeEntry(const platform::Image& image, int bitsPerPixel, const std::string& name) {
    const auto palette = PaletteFor(image, bitsPerPixel, name);
    const std::size_t colourRow = RowBytes(image.Width, bitsPerPixel);
    const std::size_t maskRow = RowBytes(image.Width, 1);
    const std::size_t bitmapBytes = (colourRow + maskRow) * std::size_t(image.Height);

    Bytes out;
    Put32(out, kInfoHeader);
    Put32(out, std::uint32_t(image.Width));
    Put32(out, std::uint32_t(image.Height) * 2); // colour bitmap and mask stacked
    Put16(out, 1);
    Put16(out, unsigned(bitsPerPixel));
    Put32(out, 0); // uncompressed
    Put32(out, std::uint32_t(bitmapBytes));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    for (std::uint32_t rgb : palette) {
        out.push_back(std::uint8_t(rgb));
        out.push_back(std::uint8_t(rgb >> 8));
        out.push_back(std::uint8_t(rgb >> 16));
        out.push_back(0);
    }

    Bytes colours(colourRow * std::size_t(image.Height), 0);
    Bytes mask(maskRow * std::size_t(image.Height), 0);
    for (int y = 0; y < image.Height; ++y) {
        const std::size_t bottomUp = std::size_t(image.Height - 1 - y);
        for (int x = 0; x < image.Width; ++x) {
            const std::uint32_t pixel = image.Pixels[std::size_t(y) * std::size_t(image.Width) + std::size_t(x)];
            std::size_t index = 0;
            if (Transparent(pixel, name)) {
                mask[bottomUp * maskRow + std::size_t(x) / 8] |= std::uint8_t(0x80 >> (x % 8));
            } else {
                auto found = std::find(palette.begin(), palette.end(), pixel & 0xFFFFFF);
                if (found == palette.end())
                    throw platform::Error(name + " uses a colour outside its " +
                                          std::to_string(palette.size()) + "-colour palette");
                index = std::size_t(found - palette.begin());
            }
            const std::size_t bit = std::size_t(x) * std::size_t(bitsPerPixel);
            const int shift = 8 - bitsPerPixel - int(bit % 8);
            colours[bottomUp * colourRow + bit / 8] |= std::uint8_t(index << shift);
        }
    }
    out.insert(out.end(), colours.begin(), colours.end());
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

} // namespace

Bytes EncodeIco(const std::vector<IconVariant>& variants) {
    std::vector<Bytes> entries;
    for (std::size_t i = 0; i < variants.size(); ++i) {
        const auto& image = *variants[i].Image;
        const std::string name = "icon drawing " + std::to_string(i + 1);
        if (image.Width < 1 || image.Height < 1 || image.Width > 256 || image.Height > 256 ||
            image.Pixels.size() != std::size_t(image.Width) * std::size_t(image.Height))
            throw platform::Error(name + " has an unusable size");
        entries.push_back(EncodeEntry(image, variants[i].BitsPerPixel, name));
    }

    Bytes out;
    Put16(out, 0);
    Put16(out, 1); // icon, not cursor
    Put16(out, unsigned(entries.size()));
    std::size_t offset = kDirectoryHeader + kDirectoryEntry * entries.size();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& image = *variants[i].Image;
        const int bits = variants[i].BitsPerPixel;
        out.push_back(std::uint8_t(image.Width == 256 ? 0 : image.Width));
        out.push_back(std::uint8_t(image.Height == 256 ? 0 : image.Height));
        out.push_back(std::uint8_t(bits < 8 ? 1 << bits : 0));
        out.push_back(0);
        Put16(out, 1);
        Put16(out, unsigned(bits));
        Put32(out, std::uint32_t(entries[i].size()));
        Put32(out, std::uint32_t(offset));
        offset += entries[i].size();
    }
    for (const auto& entry : entries) out.insert(out.end(), entry.begin(), entry.end());
    return out;
}

} // namespace art
