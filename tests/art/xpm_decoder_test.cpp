#include <gtest/gtest.h>

#include <vector>

#include "monitor/art/art.h"
#include "platform/process.h"

namespace {

TEST(XpmDecoder, DecodesSizeAndPixelsRowByRow) {
    static const char* const xpm[] = {
        "3 2 3 1",
        "  c None",
        "r c #FF0000",
        "b c #0000ff",
        "rb ",
        " br",
    };
    const auto image = art::DecodeXpm(xpm);
    EXPECT_EQ(image.Width, 3);
    EXPECT_EQ(image.Height, 2);
    const std::vector<std::uint32_t> expected = {0xFFFF0000, 0xFF0000FF, 0x00000000,
                                                 0x00000000, 0xFF0000FF, 0xFFFF0000};
    EXPECT_EQ(image.Pixels, expected);
}

TEST(XpmDecoder, KeysOfTwoCharactersShareTheirFirst) {
    static const char* const xpm[] = {
        "2 1 2 2",
        "aa c #123456",
        "ab c #ABCDEF",
        "abaa",
    };
    const auto image = art::DecodeXpm(xpm);
    EXPECT_EQ(image.Pixels, (std::vector<std::uint32_t>{0xFFABCDEF, 0xFF123456}));
}

// Each case differs from a valid 2 x 2 picture in one place.
TEST(XpmDecoder, RejectsMalformedData) {
    static const char* const valid[] = {"2 2 2 1", ". c #000000", "x c None", ".x", "x."};
    ASSERT_NO_THROW(art::DecodeXpm(valid));

    const std::vector<std::vector<const char*>> cases = {
        {"2 2 2", ". c #000000", "x c None", ".x", "x."},              // header too short
        {"2 2 2 1 0 0", ". c #000000", "x c None", ".x", "x."},        // hotspot not supported
        {"0 2 2 1", ". c #000000", "x c None", ".x", "x."},            // zero width
        {"2 -2 2 1", ". c #000000", "x c None", ".x", "x."},           // negative height
        {"2 2 2 x", ". c #000000", "x c None", ".x", "x."},            // not a number
        {"2000 2 2 1", ". c #000000", "x c None", ".x", "x."},         // far too wide
        {"2 2 2 9", ". c #000000", "x c None", ".x", "x."},            // absurd key length
        {"2 2 2 1", ". c #00000", "x c None", ".x", "x."},             // five hex digits
        {"2 2 2 1", ". c #00000G", "x c None", ".x", "x."},            // not hex
        {"2 2 2 1", ". c black", "x c None", ".x", "x."},              // colour names unsupported
        {"2 2 2 1", ". m #000000", "x c None", ".x", "x."},            // mono key only
        {"2 2 2 1", ". c #000000 m None", "x c None", ".x", "x."},     // extra visual
        {"2 2 2 1", ". c #000000", ". c None", ".x", "x."},            // repeated key
        {"2 2 2 1", ".", "x c None", ".x", "x."},                      // colour line without colour
        {"2 2 2 1", ". c #000000", "x c None", ".xx", "x."},           // row too long
        {"2 2 2 1", ". c #000000", "x c None", ".x", "x"},             // row too short
        {"2 2 2 1", ". c #000000", "x c None", ".x", "xo"},            // unknown key
        {"2 2 2 1", ". c #000000", "x c None", ".x", nullptr},         // row missing
        {nullptr},                                                     // header missing
    };
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_THROW(art::DecodeXpm(cases[i].data()), platform::Error) << "case " << i;
    EXPECT_THROW(art::DecodeXpm(nullptr), platform::Error);
}

} // namespace
