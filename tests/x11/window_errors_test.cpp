// The X11 window on a server of its own (run_on_xvfb.sh): a request the server refuses ends
// the program through main, as a platform::Error from the window, instead of inside Xlib.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/linux/gui/x11_window.h"
#include "platform/process.h"

namespace {

struct NoEvents final : platform::WindowEvents {
    void MouseDown(int, int, int, int) override {}
    void CloseRequested() override {}
};

// Event passes until one throws, for at most a few seconds: the refusal arrives when it arrives.
std::string FirstRefusal(platform::Window& window) {
    NoEvents events;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        try {
            window.DoEvents(events);
        } catch (const platform::Error& refused) {
            return refused.what();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return "no refusal";
}

TEST(X11Window, ARefusedRequestIsAnErrorOfAnEventPass) {
    platform::Shape panel{{0, 0, 1680, 630}, 0x00E0E0E0, 0x00C00000, 3};
    platform::Surface surface{&panel, {}, {}};
    std::string warnings;
    platform::x11::X11Window window({"Ostravel", {}, {0, 0, 1680, 630}, &surface, {}},
                                    [&](const std::string& line) { warnings += line + '\n'; });
    EXPECT_EQ(warnings, "") << "Xvfb has XInput 2: the hotkeys are watched";
    window.Show();
    NoEvents events;
    window.DoEvents(events);
    // 65536 px: the protocol's 16-bit width wraps to 0, which the server refuses.
    window.SetPlacement({0, 0, 65536 * 15, 630});
    const std::string refusal = FirstRefusal(window);
    EXPECT_EQ(refusal.rfind("X request ", 0), 0u) << refusal;
    EXPECT_NE(refusal.find(" failed: BadValue"), std::string::npos) << refusal;
    EXPECT_EQ(refusal.find('\n'), std::string::npos) << refusal;
}

} // namespace
