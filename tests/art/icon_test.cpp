#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "monitor/art/art.h"
#include "monitor/art/icon_variants.h"

namespace {

std::uint32_t At(const platform::Image& image, int x, int y) {
    return image.Pixels[std::size_t(y) * std::size_t(image.Width) + std::size_t(x)];
}

TEST(Icon, WindowGetsOneColourDrawingPerSizeLargestFirst) {
    const auto images = art::IconImages();
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0]->Width, 32);
    EXPECT_EQ(images[0]->Height, 32);
    EXPECT_EQ(images[1]->Width, 16);
    EXPECT_EQ(images[1]->Height, 16);
}

TEST(Icon, EveryDrawingHasATransparentBackgroundAndFitsItsDepth) {
    for (const auto& variant : art::IconVariants()) {
        const auto& image = *variant.Image;
        SCOPED_TRACE(testing::Message() << image.Width << " px, " << variant.BitsPerPixel << " bits");
        const int last = image.Width - 1;
        EXPECT_EQ(At(image, 0, 0), 0u);
        EXPECT_EQ(At(image, last, last), 0u);
        EXPECT_EQ(At(image, 0, last), 0u);
        EXPECT_EQ(At(image, last, 0), 0u);
        std::set<std::uint32_t> opaque;
        for (std::uint32_t pixel : image.Pixels) {
            ASSERT_TRUE(pixel >> 24 == 0 || pixel >> 24 == 0xFF);
            if (pixel >> 24) opaque.insert(pixel);
        }
        EXPECT_LE(opaque.size(), std::size_t(1) << variant.BitsPerPixel);
        if (variant.BitsPerPixel == 1) {
            EXPECT_EQ(opaque, std::set<std::uint32_t>{0xFF000000});
        }
    }
}

// Upper-left ring and the slash's upper half blue, the rest red.
TEST(Icon, ColourDrawingsAreBlueAboveAndRedBelow) {
    for (const auto& variant : art::IconVariants()) {
        if (variant.BitsPerPixel == 1) continue;
        const auto& image = *variant.Image;
        SCOPED_TRACE(testing::Message() << image.Width << " px, " << variant.BitsPerPixel << " bits");
        const int half = image.Width / 2;
        int blue = 0, red = 0;
        for (int y = 0; y < image.Height; ++y)
            for (int x = 0; x < image.Width; ++x) {
                const std::uint32_t p = At(image, x, y);
                if (p >> 24 == 0) continue;
                const int r = (p >> 16) & 0xFF, b = p & 0xFF;
                if (y < half) {
                    EXPECT_GT(b, r) << x << "," << y;
                    ++blue;
                } else {
                    EXPECT_GT(r, b) << x << "," << y;
                    ++red;
                }
            }
        // A percent sign is point-symmetric: both halves carry about the same ink.
        EXPECT_GT(blue, image.Width * 2);
        EXPECT_NEAR(blue, red, blue / 5);
    }
}

} // namespace
