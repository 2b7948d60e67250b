// The Wayland backend without a compositor: the choice of backend, twips in the layout's pixels,
// the output a panel goes on and where a drag leaves it, buttons, the keys through keymaps and
// modifiers, and the drawing's layout rules at 96 and 192 dpi.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <xkbcommon/xkbcommon.h>

#include <memory>
#include <string>

#include "platform/linux/wayland/wayland_display.h"
#include "platform/linux/window_backend.h"
#include "platform/process.h"
#include "platform/linux/wayland/wayland_keyboard.h"
#include "platform/linux/wayland/wayland_painter.h"
#include "platform/linux/wayland/wayland_window.h"

namespace {

using platform::wayland::LayoutRect;
using platform::wayland::Output;

TEST(Backend, NativeWhereAWaylandDisplayIsNamedUnlessForced) {
    using platform::WindowBackend;
    EXPECT_EQ(platform::ChooseWindowBackend(nullptr, nullptr), WindowBackend::X11);
    EXPECT_EQ(platform::ChooseWindowBackend(nullptr, ""), WindowBackend::X11);
    EXPECT_EQ(platform::ChooseWindowBackend(nullptr, "wayland-1"), WindowBackend::WaylandElseX11);
    EXPECT_EQ(platform::ChooseWindowBackend("", "wayland-1"), WindowBackend::WaylandElseX11);
    EXPECT_EQ(platform::ChooseWindowBackend("x11", "wayland-1"), WindowBackend::X11);
    EXPECT_EQ(platform::ChooseWindowBackend("wayland", nullptr), WindowBackend::Wayland);
    try {
        platform::ChooseWindowBackend("Wayland", "wayland-1");
        ADD_FAILURE() << "no Error";
    } catch (const platform::Error& error) {
        EXPECT_STREQ(error.what(), "OSTRAVEL_BACKEND is \"Wayland\": x11 or wayland");
    }
}

TEST(Layout, TwipsAreFifteenToTheLogicalPixel) {
    EXPECT_EQ(platform::wayland::LayoutFromTwips(platform::TwipsRect{3000, 1500, 1680, 630}),
              (LayoutRect{200, 100, 112, 42}));
    EXPECT_EQ(platform::wayland::LayoutFromTwips(-15), -1);
    EXPECT_EQ(platform::wayland::LayoutFromTwips(625), 42);
    const platform::TwipsRect back = platform::wayland::TwipsFromLayout(LayoutRect{-1024, 0, 112, 42});
    EXPECT_EQ(back.Left, -15360);
    EXPECT_EQ(back.Width, 1680);
    EXPECT_EQ(platform::wayland::TwipsFromLayout(2.5), 38); // a press within a pixel
}

struct TwoOutputs : ::testing::Test {
    Output left, right;
    void SetUp() override {
        left.Area = {0, 0, 1024, 768};
        right.Area = {1024, 0, 800, 600};
    }
};

TEST_F(TwoOutputs, ThePanelGoesOnTheOutputHoldingMostOfIt) {
    EXPECT_EQ(platform::wayland::OutputHolding({1000, 10, 112, 42}, {&left, &right}), &right);
    EXPECT_EQ(platform::wayland::OutputHolding({960, 10, 112, 42}, {&left, &right}), &left);
    // Off every output, and below the narrower one: the first output.
    EXPECT_EQ(platform::wayland::OutputHolding({1100, 700, 112, 42}, {&right, &left}), &right);
    EXPECT_EQ(platform::wayland::OutputHolding({5000, 5000, 112, 42}, {&right, &left}), &right);
    EXPECT_EQ(platform::wayland::OutputHolding({0, 0, 112, 42}, {}), nullptr);
    EXPECT_EQ(platform::wayland::CentredOn({5000, 5000, 112, 42}, right.Area), (LayoutRect{1368, 279, 112, 42}));
}

TEST_F(TwoOutputs, ADragKeepsThePanelOnItsOutput) {
    const LayoutRect start{1100, 100, 112, 42};
    EXPECT_EQ(platform::wayland::DraggedTo(start, 60.4, -40.6, right.Area), (LayoutRect{1160, 59, 112, 42}));
    EXPECT_EQ(platform::wayland::DraggedTo(start, -300, 0, right.Area), (LayoutRect{1024, 100, 112, 42}));
    EXPECT_EQ(platform::wayland::DraggedTo(start, 900, 900, right.Area), (LayoutRect{1712, 558, 112, 42}));
    // Larger than the output: its top-left corner stays on it.
    EXPECT_EQ(platform::wayland::KeptWithin({1500, 300, 900, 700}, right.Area), (LayoutRect{1024, 0, 900, 700}));
}

TEST(Buttons, LeftMiddleAndRightOnly) {
    EXPECT_EQ(platform::wayland::ButtonCodeOfWayland(BTN_LEFT), platform::kButtonLeft);
    EXPECT_EQ(platform::wayland::ButtonCodeOfWayland(BTN_MIDDLE), platform::kButtonMiddle);
    EXPECT_EQ(platform::wayland::ButtonCodeOfWayland(BTN_RIGHT), platform::kButtonRight);
    EXPECT_EQ(platform::wayland::ButtonCodeOfWayland(BTN_SIDE), 0);
    EXPECT_EQ(platform::wayland::WaylandButtonOfCode(platform::kButtonMiddle), static_cast<std::uint32_t>(BTN_MIDDLE));
    EXPECT_EQ(platform::wayland::WaylandButtonOfCode(3), 0u);
}

// A keymap as the compositor sends it, from xkeyboard-config's rules.
std::string KeymapText(const char* layout, const char* variant) {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_rule_names names{"evdev", "pc105", layout, variant, nullptr};
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    char* text = keymap ? xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1) : nullptr;
    std::string result = text ? text : "";
    free(text);
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
    return result;
}

constexpr std::uint32_t kXkbT = KEY_T + 8;
constexpr std::uint32_t kXkbK = KEY_K + 8; // T on the Dvorak layout
constexpr std::uint32_t kXkbLeftAlt = KEY_LEFTALT + 8;

struct Keys : ::testing::Test {
    platform::wayland::KeyboardState keyboard;
    void SetUp() override {
        ASSERT_TRUE(keyboard.SetKeymap(KeymapText("us", "")));
        keyboard.Watch({platform::kVirtualKeyAlt, platform::kVirtualKeyF4, platform::kVirtualKeyT});
    }
};

TEST_F(Keys, DownWhileHeldPressedOnceUntilRead) {
    keyboard.Key(kXkbT, true);
    EXPECT_EQ(static_cast<std::uint16_t>(keyboard.Take(platform::kVirtualKeyT)), 0x8001);
    EXPECT_EQ(static_cast<std::uint16_t>(keyboard.Take(platform::kVirtualKeyT)), 0x8000);
    keyboard.Key(kXkbT, false);
    EXPECT_EQ(keyboard.Take(platform::kVirtualKeyT), 0);
    // Typed between two polls: pressed, not down.
    keyboard.Key(kXkbT, true);
    keyboard.Key(kXkbT, false);
    EXPECT_EQ(keyboard.Take(platform::kVirtualKeyT), 0x0001);
    EXPECT_EQ(keyboard.Take(platform::kVirtualKeyF4), 0);
    EXPECT_EQ(keyboard.Take('Q'), 0); // not watched
}

TEST_F(Keys, LeavingReleasesEveryKeyButKeepsThePresses) {
    keyboard.Enter({kXkbLeftAlt});
    keyboard.Key(kXkbT, true);
    keyboard.Leave();
    EXPECT_EQ(keyboard.Take(platform::kVirtualKeyT), 0x0001);
    EXPECT_EQ(keyboard.Take(platform::kVirtualKeyAlt), 0); // down at the focus, never pressed here
}

TEST_F(Keys, AltFromTheModifiersAlone) {
    // A virtual keyboard may set Alt without a key event for it.
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_keymap* keymap = xkb_keymap_new_from_string(context, KeymapText("us", "").c_str(), XKB_KEYMAP_FORMAT_TEXT_V1,
                                                    XKB_KEYMAP_COMPILE_NO_FLAGS);
    const std::uint32_t alt = 1u << xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_ALT);
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);

    keyboard.Modifiers(alt, 0, 0, 0);
    EXPECT_EQ(keyboard.Shift(), 4);
    EXPECT_EQ(static_cast<std::uint16_t>(keyboard.Take(platform::kVirtualKeyAlt)), 0x8001);
    keyboard.Modifiers(0, 0, 0, 0);
    EXPECT_EQ(keyboard.Take(platform::kVirtualKeyAlt), 0);
}

TEST_F(Keys, ANewKeymapMovesTheKeys) {
    ASSERT_TRUE(keyboard.SetKeymap(KeymapText("us", "dvorak")));
    keyboard.Key(kXkbT, true); // Y on Dvorak
    EXPECT_EQ(keyboard.Take(platform::kVirtualKeyT), 0);
    keyboard.Key(kXkbK, true);
    EXPECT_EQ(static_cast<std::uint16_t>(keyboard.Take(platform::kVirtualKeyT)), 0x8001);
    EXPECT_FALSE(keyboard.SetKeymap("not a keymap"));
    EXPECT_EQ(static_cast<std::uint16_t>(keyboard.Take(platform::kVirtualKeyT)), 0x8000); // the old map stays
}

// Draws a surface into a fresh frame; the pixels as 0xRRGGBB.
struct Frame {
    std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> image{nullptr, cairo_surface_destroy};
    std::uint32_t At(int x, int y) const {
        const auto* row = cairo_image_surface_get_data(image.get()) + y * cairo_image_surface_get_stride(image.get());
        return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
    }
};

Frame Drawn(const platform::Surface& surface, int width, int height, double dpi) {
    static platform::wayland::SurfaceDrawing drawing;
    Frame frame;
    frame.image.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    cairo_t* cairo = cairo_create(frame.image.get());
    drawing.Draw(cairo, surface, width, height, dpi);
    cairo_destroy(cairo);
    cairo_surface_flush(frame.image.get());
    return frame;
}

struct Drawing : ::testing::Test {
    platform::Shape panel{{0, 0, 1680, 625}, 0x00E0E0E0, 0x00C00000, 3};
    platform::Label number{{110, 40, 555, 300}, "100", 0x00FF0000, {"Arial", 15.75, 700, 204},
                           platform::TextAlign::Right};
    platform::Image square{2, 2, {0xFF112233, 0xFF445566, 0xFF778899, 0xFFAABBCC}};
    platform::Picture picture{{1120, 70, 480, 480}, &square, true};
    platform::Surface surface{&panel, {&number}, {&picture}};
};

TEST_F(Drawing, TheFrameIsCentredOnThePanelsEdgeAndClippedByTheWindow) {
    const Frame frame = Drawn(surface, 112, 42, 96);
    EXPECT_EQ(frame.At(0, 0), 0x0000C0u);
    EXPECT_EQ(frame.At(1, 20), 0x0000C0u);
    EXPECT_EQ(frame.At(2, 20), 0xE0E0E0u);
    EXPECT_EQ(frame.At(110, 20), 0x0000C0u);
    EXPECT_EQ(frame.At(109, 20), 0xE0E0E0u);
    EXPECT_EQ(frame.At(50, 41), 0x0000C0u);
    EXPECT_EQ(frame.At(50, 39), 0xE0E0E0u);
}

TEST_F(Drawing, RightAlignedTextEndsAtItsLabelsEdgeAndPicturesKeepTheirPixels) {
    const Frame frame = Drawn(surface, 112, 42, 96);
    // Label1 is 7..43 by 3..22: blue ink in its last columns, none beyond.
    int inkNearTheEdge = 0;
    for (int y = 3; y < 23; ++y) {
        for (int x = 40; x < 44; ++x) inkNearTheEdge += frame.At(x, y) != 0xE0E0E0u;
        for (int x = 44; x < 74; ++x) EXPECT_EQ(frame.At(x, y), 0xE0E0E0u) << x << "," << y;
    }
    EXPECT_GT(inkNearTheEdge, 4);
    EXPECT_EQ(frame.At(75, 5), 0x112233u);
    EXPECT_EQ(frame.At(76, 6), 0xAABBCCu);
    EXPECT_EQ(frame.At(77, 5), 0xE0E0E0u); // natural size below 192 dpi
}

TEST_F(Drawing, At192DpiEverythingDoubles) {
    const Frame frame = Drawn(surface, 224, 84, 192);
    EXPECT_EQ(frame.At(1, 40), 0x0000C0u); // the frame keeps its 3 pixels' width, 2 of them inside
    EXPECT_EQ(frame.At(2, 40), 0xE0E0E0u);
    EXPECT_EQ(frame.At(149, 9), 0x112233u); // at 1120, 70 twips: 149.3, 9.3
    EXPECT_EQ(frame.At(150, 10), 0x112233u); // each picture pixel a 2x2 square
    EXPECT_EQ(frame.At(151, 11), 0xAABBCCu);
    EXPECT_EQ(frame.At(153, 12), 0xE0E0E0u);
}

} // namespace
