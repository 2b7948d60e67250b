// What the Win32 window draws, rendered into an image, and the unit conversions behind it.
#include <gtest/gtest.h>

#include "platform/windows/gui/dpi.h"
#include "platform/windows/gui/icons.h"
#include "tests/windows/surface_render.h"

using namespace platform;
using namespace platform::windows_detail;

namespace {

std::uint32_t Rgb(Colour bgr) { // 0x00BBGGRR to the image's 0xFFRRGGBB
    return 0xFF000000u | ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

std::uint32_t At(const Image& image, int x, int y) { return image.Pixels[static_cast<std::size_t>(y) * image.Width + x]; }

struct Panel {
    Shape shape{{0, 0, 1680, 625}, 0x00E0E0E0, 0x00C00000, 3};
    Surface surface{&shape, {}, {}};
};

} // namespace

TEST(Dpi, TwipsAndPixelsRoundToTheNearest) {
    EXPECT_EQ(PixelsFromTwips(1680, 96), 112);
    EXPECT_EQ(PixelsFromTwips(625, 96), 42); // 41.67
    EXPECT_EQ(PixelsFromTwips(1120, 96), 75); // 74.67
    EXPECT_EQ(PixelsFromTwips(1680, 144), 168);
    EXPECT_EQ(PixelsFromTwips(-1125, 96), -75);
    EXPECT_EQ(TwipsFromPixels(112, 96), 1680);
    EXPECT_EQ(TwipsFromPixels(1, 144), 10);
    EXPECT_EQ(TwipsFromPixels(-3, 96), -45);
}

TEST(Dpi, FontSizesInPixels) {
    EXPECT_EQ(FontPixelHeight(15.75, 96), 21);
    EXPECT_EQ(FontPixelHeight(8.25, 96), 11);
    EXPECT_EQ(FontPixelHeight(8.25, 144), 17); // 16.5
}

TEST(RenderSurface, PanelFillsTheWindowWithAFrameHalfOutside) {
    Panel panel;
    const Image image = RenderSurface(panel.surface, 112, 42, 96);
    const std::uint32_t border = Rgb(0x00C00000), fill = Rgb(0x00E0E0E0);
    // Three pixels centred on the edge: the outer one falls outside the window.
    for (int d : {0, 1}) {
        EXPECT_EQ(At(image, d, 20), border) << d;
        EXPECT_EQ(At(image, 111 - d, 20), border) << d;
        EXPECT_EQ(At(image, 50, d), border) << d;
        EXPECT_EQ(At(image, 50, 41 - d), border) << d;
    }
    EXPECT_EQ(At(image, 2, 20), fill);
    EXPECT_EQ(At(image, 109, 20), fill);
    EXPECT_EQ(At(image, 50, 2), fill);
    EXPECT_EQ(At(image, 50, 39), fill);
}

TEST(RenderSurface, BeyondThePanelIsTheWindowBackground) {
    Panel panel;
    const Image image = RenderSurface(panel.surface, 150, 60, 96);
    const std::uint32_t background = At(image, 149, 59);
    EXPECT_NE(background, Rgb(0x00E0E0E0));
    EXPECT_EQ(At(image, 114, 10), background); // the frame reaches one pixel past the panel
    EXPECT_EQ(At(image, 112, 10), Rgb(0x00C00000));
    EXPECT_EQ(At(image, 10, 44), background);
}

TEST(RenderSurface, OnlyVisiblePicturesAtNaturalSizeAndLabelsClipped) {
    Panel panel;
    Image red{2, 2, std::vector<std::uint32_t>(4, 0xFFFF0000u)};
    Image green{2, 2, std::vector<std::uint32_t>(4, 0xFF00FF00u)};
    Picture shown{{1125, 75, 480, 480}, &red, true}; // 75, 5 in pixels; the rect is larger than the image
    Picture hidden{{1125, 75, 480, 480}, &green, false};
    Label label{{150, 150, 150, 300}, "WWWWWWWW", 0x00000000, {"Arial", 15.75, 700, 204}, TextAlign::Left};
    panel.surface.Labels = {&label};
    panel.surface.Pictures = {&hidden, &shown};
    const Image image = RenderSurface(panel.surface, 112, 42, 96);
    EXPECT_EQ(At(image, 75, 5), 0xFFFF0000u);
    EXPECT_EQ(At(image, 76, 6), 0xFFFF0000u);
    EXPECT_EQ(At(image, 77, 5), Rgb(0x00E0E0E0)); // natural size, not stretched
    // The label covers x 10..19: ink inside, none to its right where the W's would run on.
    bool inkInside = false;
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 20; ++x) inkInside = inkInside || At(image, x, y) != Rgb(0x00E0E0E0);
    EXPECT_TRUE(inkInside);
    for (int y = 3; y < 39; ++y)
        for (int x = 20; x < 70; ++x) ASSERT_EQ(At(image, x, y), Rgb(0x00E0E0E0)) << x << "," << y;
}

TEST(RenderSurface, PicturesAtTheWholeMultipleOfTheirSizeFrom192Dpi) {
    // Four colours in a 2 x 2 picture: each pixel must come out as a square of its own colour.
    const Image picture{2, 2, {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u}};
    // dpi, the picture's corner in pixels (1125, 75 twips), its scale, the client size
    const struct {
        int Dpi, Left, Top, Scale;
    } screens[] = {{144, 113, 8, 1}, {191, 149, 10, 1}, {192, 150, 10, 2}, {288, 225, 15, 3}};
    for (const auto& screen : screens) {
        Panel panel;
        Picture shown{{1125, 75, 480, 480}, &picture, true};
        panel.surface.Pictures = {&shown};
        const int width = PixelsFromTwips(1680, screen.Dpi), height = PixelsFromTwips(630, screen.Dpi);
        const Image image = RenderSurface(panel.surface, width, height, screen.Dpi);
        for (int y = 0; y < 2 * screen.Scale; ++y)
            for (int x = 0; x < 2 * screen.Scale; ++x)
                ASSERT_EQ(At(image, screen.Left + x, screen.Top + y),
                          picture.Pixels[static_cast<std::size_t>(y / screen.Scale * 2 + x / screen.Scale)])
                    << screen.Dpi << " dpi at " << x << "," << y;
        // Just past the drawn square: the panel again.
        const int side = 2 * screen.Scale;
        EXPECT_EQ(At(image, screen.Left + side, screen.Top), Rgb(0x00E0E0E0)) << screen.Dpi;
        EXPECT_EQ(At(image, screen.Left, screen.Top + side), Rgb(0x00E0E0E0)) << screen.Dpi;
    }
}

TEST(ChooseIconImage, ExactSizeFirstElseLargest) {
    const Image large{32, 32, {}}, small{16, 16, {}}, huge{48, 48, {}};
    EXPECT_EQ(ChooseIconImage({&large, &small}, 16), &small);
    EXPECT_EQ(ChooseIconImage({&large, &small}, 32), &large);
    EXPECT_EQ(ChooseIconImage({&small, &huge, &large}, 24), &huge);
    EXPECT_EQ(ChooseIconImage({}, 32), nullptr);
}
