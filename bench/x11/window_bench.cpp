// One event pass of the X11 window, as the poll loop makes it every turn: with nothing changed
// (one read of the connection, no request) and with a new caption to paint. Needs DISPLAY (Xvfb will do).
#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "platform/toolkit.h"

namespace {

struct NoEvents final : platform::WindowEvents {
    void MouseDown(int, int, int, int) override {}
    void CloseRequested() override {}
};

struct Layout {
    platform::Image picture{32, 32, std::vector<std::uint32_t>(32 * 32, 0xFFDEDEDE)};
    platform::Shape panel{{0, 0, 1680, 625}, 0x00E0E0E0, 0x00C00000, 3};
    platform::Label number{{110, 40, 555, 300}, "100", 0x00FF0000, {"Arial", 15.75, 700, 204},
                           platform::TextAlign::Right};
    platform::Label percent{{720, 40, 280, 300}, "%", 0x00FF0000, {"Arial", 15.75, 400, 204},
                            platform::TextAlign::Right};
    platform::Label state{{90, 360, 1020, 195}, "От батареи", 0x00000080, {"Verdana", 8.25, 400, 204},
                          platform::TextAlign::Center};
    platform::Picture shown{{1120, 70, 480, 480}, &picture, true};
    platform::Surface surface{&panel, {&number, &percent, &state}, {&shown}};
};

// One window for the whole run, as in the program: Xft and Xrender keep per-display state that
// does not survive closing a display and opening another at the same address.
platform::Window* SharedWindow(Layout& layout, benchmark::State& state) {
    static std::unique_ptr<platform::Window> window;
    static std::string failure;
    if (!window && failure.empty()) {
        try {
            window = platform::OpenWindow({"Ostravel", {}, {0, 0, 1680, 630}, &layout.surface,
                                           {platform::kVirtualKeyAlt, platform::kVirtualKeyF4, platform::kVirtualKeyT}});
            window->Show();
            NoEvents events;
            window->DoEvents(events);
        } catch (const std::runtime_error& error) {
            failure = error.what();
        }
    }
    if (!window) state.SkipWithError(failure.c_str());
    return window.get();
}

Layout& SharedLayout() {
    static Layout layout;
    return layout;
}

void BM_EventPassNothingChanged(benchmark::State& state) {
    Layout& layout = SharedLayout();
    platform::Window* window = SharedWindow(layout, state);
    if (!window) return;
    NoEvents events;
    for (auto _ : state) window->DoEvents(events);
}
BENCHMARK(BM_EventPassNothingChanged);

void BM_EventPassWithNewCaption(benchmark::State& state) {
    Layout& layout = SharedLayout();
    platform::Window* window = SharedWindow(layout, state);
    if (!window) return;
    NoEvents events;
    bool flip = false;
    for (auto _ : state) {
        layout.number.Caption = (flip = !flip) ? "39" : "40";
        window->Invalidate();
        window->DoEvents(events);
        // Waits for the server to draw, untimed, so that requests do not pile up.
        state.PauseTiming();
        window->Placement();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EventPassWithNewCaption);

} // namespace

BENCHMARK_MAIN();
