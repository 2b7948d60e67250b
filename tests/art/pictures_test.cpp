#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "monitor/art/art.h"

namespace {

constexpr std::uint32_t kBackground = 0xFFDEDEDE;

struct Expected {
    const char* name;
    const platform::Image& (*picture)();
    std::size_t minColours, maxColours;
    bool cordLeavesTopLeft; // the mains cord runs out through that corner
};

const Expected kPictures[] = {
    {"charging", art::ChargingPicture, 25, 32, false},
    {"mains", art::MainsPicture, 7, 8, true},
    {"battery", art::BatteryPicture, 8, 8, false},
};

std::uint32_t At(const platform::Image& image, int x, int y) {
    return image.Pixels[std::size_t(y) * std::size_t(image.Width) + std::size_t(x)];
}

std::set<std::uint32_t> Colours(const platform::Image& image) {
    return {image.Pixels.begin(), image.Pixels.end()};
}

TEST(Pictures, AreOpaqueSquaresOnTheLightGreyBackground) {
    for (const auto& expected : kPictures) {
        SCOPED_TRACE(expected.name);
        const auto& image = expected.picture();
        ASSERT_EQ(image.Width, 32);
        ASSERT_EQ(image.Height, 32);
        ASSERT_EQ(image.Pixels.size(), 32u * 32u);
        for (std::uint32_t pixel : image.Pixels) {
            ASSERT_EQ(pixel >> 24, 0xFFu);
        }
        if (!expected.cordLeavesTopLeft) {
            EXPECT_EQ(At(image, 0, 0), kBackground);
        }
        EXPECT_EQ(At(image, 31, 0), kBackground);
        EXPECT_EQ(At(image, 0, 31), kBackground);
        EXPECT_EQ(At(image, 31, 31), kBackground);
        // The background is the most common colour: the drawing sits on it.
        std::size_t background = 0;
        for (std::uint32_t pixel : image.Pixels) background += pixel == kBackground;
        EXPECT_GT(background, image.Pixels.size() / 3);
    }
}

TEST(Pictures, KeepTheirSmallPalettes) {
    for (const auto& expected : kPictures) {
        SCOPED_TRACE(expected.name);
        const auto colours = Colours(expected.picture()).size();
        EXPECT_GE(colours, expected.minColours);
        EXPECT_LE(colours, expected.maxColours);
    }
}

TEST(Pictures, CarryTheirSignatureColours) {
    const auto battery = Colours(art::BatteryPicture());
    EXPECT_TRUE(battery.count(0xFFFF0000)) << "red plus sign";
    EXPECT_TRUE(battery.count(0xFFFFFF00)) << "yellow band";
    EXPECT_TRUE(Colours(art::MainsPicture()).count(0xFFFFFF00)) << "yellow prongs";

    // Charging: the plug at the lower right is pale violet (blue above green, red between).
    const auto& charging = art::ChargingPicture();
    int violet = 0;
    for (int y = 20; y < 32; ++y)
        for (int x = 20; x < 32; ++x) {
            const std::uint32_t p = At(charging, x, y);
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            violet += b > r + 10 && r > g + 5 && g > 100;
        }
    EXPECT_GT(violet, 10);
}

TEST(Pictures, AreDecodedOnce) {
    EXPECT_EQ(&art::ChargingPicture(), &art::ChargingPicture());
    EXPECT_EQ(&art::MainsPicture(), &art::MainsPicture());
    EXPECT_EQ(&art::BatteryPicture(), &art::BatteryPicture());
    EXPECT_EQ(art::IconImages(), art::IconImages());
}

} // namespace
