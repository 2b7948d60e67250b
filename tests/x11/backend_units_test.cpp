// The X11 backend's conversions that need no server: twips and font sizes at several dpi,
// the Xft.dpi resource, the pictures' whole-multiple scale, colours in pixel formats, the icon
// property, buttons and modifiers, the record that decides whether a repaint is needed, and
// where the details tip goes.
#include <gtest/gtest.h>

#include <string>

#include "platform/linux/gui/x11_display.h"
#include "platform/linux/gui/x11_painter.h"
#include "platform/linux/gui/x11_tip.h"
#include "platform/linux/gui/x11_window.h"
#include "platform/picture_scale.h"

namespace {

using platform::x11::PixelFormat;
using platform::x11::PixelRect;
using platform::x11::Scale;

TEST(TwipsToPixels, RoundsToTheNearestPixelAt96120And144Dpi) {
    Scale at96(96), at120(120), at144(144);
    // The window and the controls' odd edges at 15 twips per pixel.
    EXPECT_EQ(at96.ToPixels(1680), 112);
    EXPECT_EQ(at96.ToPixels(630), 42);
    EXPECT_EQ(at96.ToPixels(625), 42);  // 41.67
    EXPECT_EQ(at96.ToPixels(1120), 75); // 74.67
    EXPECT_EQ(at96.ToPixels(7), 0);     // 0.47
    EXPECT_EQ(at96.ToPixels(8), 1);     // 0.53
    EXPECT_EQ(at96.ToPixels(-15), -1);  // left of the primary monitor
    // 12 twips per pixel; halves round away from zero.
    EXPECT_EQ(at120.ToPixels(1680), 140);
    EXPECT_EQ(at120.ToPixels(630), 53); // 52.5
    EXPECT_EQ(at120.ToPixels(625), 52); // 52.08
    EXPECT_EQ(at120.ToPixels(195), 16); // 16.25
    // 10 twips per pixel.
    EXPECT_EQ(at144.ToPixels(1680), 168);
    EXPECT_EQ(at144.ToPixels(625), 63); // 62.5
    EXPECT_EQ(at144.ToPixels(555), 56); // 55.5
}

TEST(TwipsToPixels, PixelsBackToTwipsAndWholeRects) {
    EXPECT_EQ(Scale(96).ToTwips(112), 1680);
    EXPECT_EQ(Scale(120).ToTwips(1), 12);
    EXPECT_EQ(Scale(144).ToTwips(7), 70);
    EXPECT_EQ(Scale(72).ToTwips(-3), -60);
    PixelRect label = Scale(96).ToPixels(platform::TwipsRect{90, 360, 1020, 195});
    EXPECT_EQ(label.X, 6);
    EXPECT_EQ(label.Y, 24);
    EXPECT_EQ(label.Width, 68);
    EXPECT_EQ(label.Height, 13);
    platform::TwipsRect screen = Scale(144).ToTwips(PixelRect{-1024, 0, 1024, 768});
    EXPECT_EQ(screen.Left, -10240);
    EXPECT_EQ(screen.Width, 10240);
    EXPECT_EQ(screen.Height, 7680);
}

TEST(TwipsToPixels, FontPointsBecomePixelsWithTheSameDpi) {
    EXPECT_DOUBLE_EQ(Scale(96).FontPixels(15.75), 21.0);
    EXPECT_DOUBLE_EQ(Scale(96).FontPixels(8.25), 11.0);
    EXPECT_DOUBLE_EQ(Scale(144).FontPixels(15.75), 31.5);
    EXPECT_DOUBLE_EQ(Scale(144).FontPixels(8.25), 16.5);
}

TEST(Rectangles, IntersectionOfMonitorsAndWorkAreas) {
    using platform::x11::Intersection;
    auto same = [](const PixelRect& r, int x, int y, int w, int h) {
        return r.X == x && r.Y == y && r.Width == w && r.Height == h;
    };
    // A top panel of 30 pixels over two monitors side by side.
    EXPECT_TRUE(same(Intersection({0, 0, 1920, 1080}, {0, 30, 3200, 1050}), 0, 30, 1920, 1050));
    EXPECT_TRUE(same(Intersection({1920, 0, 1280, 1024}, {0, 30, 3200, 1050}), 1920, 30, 1280, 994));
    // A monitor left of the origin.
    EXPECT_TRUE(same(Intersection({-1280, 0, 1280, 1024}, {-1280, 0, 3200, 1024}), -1280, 0, 1280, 1024));
    // Touching edges and disjoint rectangles share nothing.
    EXPECT_EQ(Intersection({0, 0, 100, 100}, {100, 0, 100, 100}).Width, 0);
    EXPECT_EQ(Intersection({0, 0, 100, 100}, {0, 200, 100, 100}).Height, 0);
}

// The details tip beside a 112x42 panel on a monitor right of a 1920-pixel one.
TEST(TipPlacement, BelowElseAboveElseBesideAlwaysOnTheMonitorAndOffThePanel) {
    using platform::x11::TipPlacement;
    const PixelRect monitor{1920, 0, 1024, 768};
    auto at = [&](PixelRect panel, int width, int height) {
        const PixelRect tip = TipPlacement(panel, {width, height}, monitor);
        return std::to_string(tip.X) + " " + std::to_string(tip.Y);
    };
    EXPECT_EQ(at({2376, 363, 112, 42}, 300, 80), "2376 407");
    EXPECT_EQ(at({2900, 700, 112, 42}, 300, 80), "2644 618") << "no room below; pushed left onto the monitor";
    EXPECT_EQ(at({1900, 10, 112, 42}, 300, 730), "2014 10") << "room on neither side but the right";
    EXPECT_EQ(at({2840, 10, 104, 700}, 300, 700), "2538 10") << "then the left";
    EXPECT_EQ(at({1920, 300, 200, 100}, 1000, 500), "1920 402") << "fits nowhere: where the room is larger";
}

TEST(XftDpiResource, FallsBackTo96UnlessAUsableValueIsSet) {
    using platform::x11::DpiFromResources;
    EXPECT_DOUBLE_EQ(DpiFromResources(nullptr), 96);
    EXPECT_DOUBLE_EQ(DpiFromResources(""), 96);
    EXPECT_DOUBLE_EQ(DpiFromResources("Xft.antialias:\t1\nXcursor.size:\t24\n"), 96);
    EXPECT_DOUBLE_EQ(DpiFromResources("Xft.dpi:\t144\n"), 144);
    EXPECT_DOUBLE_EQ(DpiFromResources("Xft.hinting: 1\nXft.dpi: 120\nXft.rgba: rgb\n"), 120);
    EXPECT_DOUBLE_EQ(DpiFromResources("Xft.dpi: 96.5"), 96.5);
    EXPECT_DOUBLE_EQ(DpiFromResources("Xft.dpi: large"), 96);
    EXPECT_DOUBLE_EQ(DpiFromResources("Xft.dpi: 0"), 96);
    EXPECT_DOUBLE_EQ(DpiFromResources("Xft.dpi: 100000"), 96);
}

TEST(PictureScale, NaturalSizeBelow192DpiThenTheWholeMultipleOf96) {
    using platform::PictureScale;
    for (double dpi : {0.0, 24.0, 96.0, 120.0, 144.0, 191.9}) EXPECT_EQ(PictureScale(dpi), 1) << dpi;
    EXPECT_EQ(PictureScale(192), 2);
    EXPECT_EQ(PictureScale(240), 2);
    EXPECT_EQ(PictureScale(287.5), 2);
    EXPECT_EQ(PictureScale(288), 3);
    EXPECT_EQ(PictureScale(384), 4);
    EXPECT_EQ(PictureScale(960), 10);
}

TEST(PictureScale, ScaledUpRepeatsEachPixelAsASquare) {
    using platform::ScaledUp;
    // 0x10 0x20 0x30
    // 0x40 0x50 0x60
    const platform::Image image{3, 2, {0x10, 0x20, 0x30, 0x40, 0x50, 0x60}};
    const platform::Image twice = ScaledUp(image, 2);
    ASSERT_EQ(twice.Width, 6);
    ASSERT_EQ(twice.Height, 4);
    const std::vector<std::uint32_t> expected{0x10, 0x10, 0x20, 0x20, 0x30, 0x30, //
                                              0x10, 0x10, 0x20, 0x20, 0x30, 0x30, //
                                              0x40, 0x40, 0x50, 0x50, 0x60, 0x60, //
                                              0x40, 0x40, 0x50, 0x50, 0x60, 0x60};
    EXPECT_EQ(twice.Pixels, expected);
    const platform::Image thrice = ScaledUp(image, 3);
    ASSERT_EQ(thrice.Pixels.size(), 9u * 6u);
    EXPECT_EQ(thrice.Pixels[2 * 9 + 2], 0x10u); // the last pixel of the first square
    EXPECT_EQ(thrice.Pixels[3 * 9 + 3], 0x50u); // the first pixel of the middle square below
    EXPECT_EQ(thrice.Pixels.back(), 0x60u);
    // Factor 1, and an image whose pixels don't fill it, come back as they are.
    EXPECT_EQ(ScaledUp(image, 1).Pixels, image.Pixels);
    const platform::Image broken{4, 4, {1, 2, 3}};
    EXPECT_EQ(ScaledUp(broken, 2).Width, 4);
    EXPECT_EQ(ScaledUp(broken, 2).Pixels, broken.Pixels);
}

TEST(PixelFormats, ColoursLandInTheVisualsChannels) {
    PixelFormat rgb888(0xFF0000, 0x00FF00, 0x0000FF);
    EXPECT_EQ(rgb888.FromColour(0x00C00000), 0x0000C0u); // dark blue frame
    EXPECT_EQ(rgb888.FromColour(0x000000FF), 0xFF0000u); // red
    EXPECT_EQ(rgb888.FromColour(0x00000080), 0x800000u); // dark red text
    EXPECT_EQ(rgb888.FromArgb(0xFF123456), 0x123456u);   // alpha dropped

    PixelFormat bgr888(0x0000FF, 0x00FF00, 0xFF0000);
    EXPECT_EQ(bgr888.FromColour(0x00C00000), 0xC00000u);
    EXPECT_EQ(bgr888.FromArgb(0x00123456), 0x563412u);

    PixelFormat rgb565(0xF800, 0x07E0, 0x001F);
    EXPECT_EQ(rgb565.FromColour(0x00FFFFFF), 0xFFFFu);
    EXPECT_EQ(rgb565.FromColour(0x000000FF), 0xF800u);
    EXPECT_EQ(rgb565.FromColour(0x00E0E0E0), 0xE71Cu); // 0x1C, 0x38, 0x1C

    PixelFormat rgb101010(0x3FF00000, 0x000FFC00, 0x000003FF);
    EXPECT_EQ(rgb101010.FromColour(0x00FFFFFF), 0x3FFFFFFFu);
    EXPECT_EQ(rgb101010.FromColour(0x00000080), 0x20100000u); // 128 of 255 is 513 of 1023
}

platform::Image Filled(int width, int height, std::uint32_t first, std::uint32_t rest) {
    platform::Image image{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, rest)};
    image.Pixels[0] = first;
    return image;
}

TEST(IconProperty, OneImagePerSizeLargestFirstRichestVariant) {
    platform::Image black_white = Filled(32, 32, 0xFF000000, 0x00000000);
    platform::Image colour = Filled(32, 32, 0xFFFF0000, 0x00000000);
    colour.Pixels[1] = 0xFF0000FF;
    platform::Image small = Filled(16, 16, 0xFF0000FF, 0x00000000);
    platform::Image broken{8, 8, std::vector<std::uint32_t>(10)};
    std::vector<long> data = platform::x11::NetWmIconData({&small, &black_white, &broken, &colour, nullptr});
    ASSERT_EQ(data.size(), 2u + 32 * 32 + 2u + 16 * 16);
    EXPECT_EQ(data[0], 32);
    EXPECT_EQ(data[1], 32);
    EXPECT_EQ(data[2], 0xFFFF0000L); // the three-colour 32 x 32, as an unsigned 32-bit value in a long
    EXPECT_EQ(data[3], 0xFF0000FFL);
    EXPECT_EQ(data[2 + 1024], 16);
    EXPECT_EQ(data[3 + 1024], 16);
    EXPECT_EQ(data[4 + 1024], 0xFF0000FFL);
    EXPECT_TRUE(platform::x11::NetWmIconData({}).empty());
}

TEST(PointerButtons, XButtonsMapToTheToolkitCodesAndBack) {
    using namespace platform::x11;
    EXPECT_EQ(ButtonCodeOfX(1), platform::kButtonLeft);
    EXPECT_EQ(ButtonCodeOfX(2), platform::kButtonMiddle);
    EXPECT_EQ(ButtonCodeOfX(3), platform::kButtonRight);
    EXPECT_EQ(ButtonCodeOfX(4), 0); // wheel
    EXPECT_EQ(ButtonCodeOfX(8), 0); // side button
    EXPECT_EQ(XButtonOfCode(platform::kButtonLeft), 1u);
    EXPECT_EQ(XButtonOfCode(platform::kButtonMiddle), 2u);
    EXPECT_EQ(XButtonOfCode(platform::kButtonRight), 3u);
    EXPECT_EQ(XButtonOfCode(3), 0u);
    EXPECT_EQ(XButtonMask(1), 1u << 8);
    EXPECT_EQ(XButtonMask(3), 1u << 10);
    EXPECT_EQ(XButtonMask(0), 0u);
}

TEST(PointerButtons, ModifiersBecomeShiftCtrlAltBitsAndLocksAreIgnored) {
    using platform::x11::ShiftOfXState;
    // X state bits: Shift 1, Lock 2, Control 4, Mod1 (Alt) 8, Mod2 (Num Lock) 16, Button1 256.
    EXPECT_EQ(ShiftOfXState(0), 0);
    EXPECT_EQ(ShiftOfXState(1 | 4 | 8), 7);
    EXPECT_EQ(ShiftOfXState(2 | 16 | 256), 0);
    EXPECT_EQ(ShiftOfXState(8 | 16), 4);
    EXPECT_EQ(ShiftOfXState(4), 2);
}

} // namespace
