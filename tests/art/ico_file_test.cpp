#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "monitor/art/tools/ico_file.h"
#include "platform/process.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

unsigned U16(const Bytes& b, std::size_t at) { return unsigned(b[at]) | unsigned(b[at + 1]) << 8; }
std::uint32_t U32(const Bytes& b, std::size_t at) { return U16(b, at) | std::uint32_t(U16(b, at + 2)) << 16; }

Bytes CheckedInIcon() {
    std::ifstream file(OSTRAVEL_ICON_FILE, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Sizes worked out by hand: header 40 + palette 4 per colour + colour rows + mask rows,
// every row padded to 4 bytes (a 16-pixel mask row is 2 bytes of bits, padded to 4).
TEST(IconFile, HoldsTheFourDrawingsAtTheirDepths) {
    const Bytes ico = CheckedInIcon();
    ASSERT_EQ(ico.size(), 3630u);
    EXPECT_EQ(U16(ico, 0), 0u);
    EXPECT_EQ(U16(ico, 2), 1u);
    ASSERT_EQ(U16(ico, 4), 4u);
    struct Entry { unsigned side, colours, bits; std::uint32_t bytes, offset; };
    const Entry expected[] = {
        {32, 0, 8, 40 + 1024 + 1024 + 128, 70},
        {32, 16, 4, 40 + 64 + 512 + 128, 2286},
        {16, 16, 4, 40 + 64 + 128 + 64, 3030},
        {32, 2, 1, 40 + 8 + 128 + 128, 3326},
    };
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const std::size_t at = 6 + 16 * std::size_t(i);
        EXPECT_EQ(ico[at], expected[i].side);
        EXPECT_EQ(ico[at + 1], expected[i].side);
        EXPECT_EQ(ico[at + 2], expected[i].colours);
        EXPECT_EQ(U16(ico, at + 4), 1u);
        EXPECT_EQ(U16(ico, at + 6), expected[i].bits);
        EXPECT_EQ(U32(ico, at + 8), expected[i].bytes);
        ASSERT_EQ(U32(ico, at + 12), expected[i].offset);
        const std::size_t bmp = expected[i].offset;
        EXPECT_EQ(U32(ico, bmp), 40u);
        EXPECT_EQ(U32(ico, bmp + 8), 2 * expected[i].side); // colour bitmap over mask
        EXPECT_EQ(U16(ico, bmp + 14), expected[i].bits);
        // Palette entry 0 is black, so transparent pixels leave the screen alone.
        EXPECT_EQ(U32(ico, bmp + 40), 0u);
        // The mask's first stored row is the bottom one; its corners are transparent.
        const std::size_t mask = bmp + expected[i].bytes - (expected[i].side == 32 ? 128 : 64);
        EXPECT_EQ(ico[mask] & 0x80, 0x80);
    }
}

TEST(IconFile, RefusesDrawingsThatDoNotFitTheirDepth) {
    platform::Image offPalette{1, 1, {0xFF123456}};
    platform::Image halfTransparent{1, 1, {0x80FF0000}};
    platform::Image tooLarge{257, 1, std::vector<std::uint32_t>(257, 0xFF000000)};
    platform::Image manyColours{17, 17, {}};
    for (std::uint32_t i = 0; i < 17 * 17; ++i) manyColours.Pixels.push_back(0xFF000000 | i);
    EXPECT_THROW(art::EncodeIco({{&offPalette, 4}}), platform::Error);
    EXPECT_THROW(art::EncodeIco({{&offPalette, 1}}), platform::Error);
    EXPECT_THROW(art::EncodeIco({{&halfTransparent, 8}}), platform::Error);
    EXPECT_THROW(art::EncodeIco({{&tooLarge, 8}}), platform::Error);
    EXPECT_THROW(art::EncodeIco({{&manyColours, 8}}), platform::Error);
    EXPECT_THROW(art::EncodeIco({{&offPalette, 24}}), platform::Error);
    EXPECT_NO_THROW(art::EncodeIco({{&offPalette, 8}}));
}

} // namespace
