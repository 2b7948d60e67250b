// A stand-in window program for trying the toolkit by hand: the layout of the monitor window
// with fixed contents, pinned on top, dragged by the bare panel, closed by the window manager.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <chrono>

#include "platform/toolkit.h"

namespace {

platform::Image Square(std::uint32_t background, std::uint32_t mark) {
    platform::Image image{32, 32, std::vector<std::uint32_t>(32 * 32, background)};
    for (int y = 8; y < 24; ++y)
        for (int x = 12; x < 20; ++x) image.Pixels[y * 32 + x] = mark;
    return image;
}

struct Driver final : platform::WindowEvents {
    platform::Window* window = nullptr;
    bool closed = false;
    void MouseDown(int button, int, int x, int y) override {
        std::printf("press %d at %d,%d\n", button, x, y);
        std::fflush(stdout);
        if (button == platform::kButtonRight) return;
        window->ReleaseCapture();
        window->BeginMove(button);
    }
    void CloseRequested() override { closed = true; }
};

} // namespace

int main() {
    platform::Image charging = Square(0xFFDEDEDE, 0xFFFF0000);
    platform::Image mains = Square(0xFFDEDEDE, 0xFF00A000);
    platform::Image battery = Square(0xFFDEDEDE, 0xFF0000FF);
    platform::Image icon = Square(0x00000000, 0xFF0000FF);
    platform::Shape panel{{0, 0, 1680, 625}, 0x00E0E0E0, 0x00C00000, 3};
    platform::Label number{{110, 40, 555, 300}, "100", 0x00FF0000, {"Arial", 15.75, 700, 204},
                           platform::TextAlign::Right};
    platform::Label percent{{720, 40, 280, 300}, "%", 0x00FF0000, {"Arial", 15.75, 400, 204},
                            platform::TextAlign::Right};
    platform::Label state{{90, 360, 1020, 195}, "От батареи", 0x00000080, {"Verdana", 8.25, 400, 204},
                          platform::TextAlign::Center};
    platform::Picture pictures[3] = {{{1120, 70, 480, 480}, &charging, false},
                                     {{1120, 70, 480, 480}, &mains, true},
                                     {{1120, 70, 480, 480}, &battery, false}};
    platform::Surface surface{&panel, {&number, &percent, &state}, {&pictures[0], &pictures[1], &pictures[2]}};
    auto window = platform::OpenWindow({"Ostravel", {&icon}, {0, 0, 1680, 630}, &surface});
    if (const char* caption = std::getenv("DRIVER_NUMBER")) number.Caption = caption;
    window->SetTopmost(true);
    window->Show();
    Driver driver;
    driver.window = window.get();
    while (!driver.closed) {
        window->Invalidate();
        window->DoEvents(driver);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    return 0;
}
