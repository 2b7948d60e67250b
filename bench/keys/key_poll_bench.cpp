// The cost of one key poll (a read of the connection plus taking the raw key events) on the
// display in $DISPLAY: at rest, for a whole hotkey turn, and right after a burst of taps.
// Without a reachable display it exits with 77; its smoke run brings a virtual X server.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>
#include <string>

#include "tests/keys/key_state.h"
#include "platform/toolkit.h"

namespace {

std::unique_ptr<platform::x11::KeyStateSource> keys;

constexpr int kAlt = platform::kVirtualKeyAlt, kF4 = platform::kVirtualKeyF4, kT = platform::kVirtualKeyT;

void KeyPollAtRest(benchmark::State& state) {
    for (auto _ : state) {
        keys->NextPoll();
        benchmark::DoNotOptimize(keys->GetAsyncKeyState(kT));
    }
}
BENCHMARK(KeyPollAtRest);

// What a turn of the window's loop asks when no hotkey is pressed.
void HotkeyTurnAtRest(benchmark::State& state) {
    for (auto _ : state) {
        keys->NextPoll();
        benchmark::DoNotOptimize(keys->GetAsyncKeyState(kAlt) & keys->GetAsyncKeyState(kF4));
        benchmark::DoNotOptimize(keys->GetAsyncKeyState(kT));
    }
}
BENCHMARK(HotkeyTurnAtRest);

// The first poll after 100 taps of T: 200 raw events waiting to be drained.
void KeyPollAfterBurstOf100Taps(benchmark::State& state) {
    std::string command = "xdotool key --delay 0";
    for (int i = 0; i < 100; ++i) command += " t";
    keys->GetAsyncKeyState(kT);
    for (auto _ : state) {
        state.PauseTiming();
        const int status = std::system(command.c_str());
        state.ResumeTiming();
        keys->NextPoll();
        const std::int16_t word = keys->GetAsyncKeyState(kT);
        if (status != 0 || word != 1) {
            state.SkipWithError("the burst of taps was not seen (is xdotool installed?)");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * 200);
}
BENCHMARK(KeyPollAfterBurstOf100Taps)->Iterations(30)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    try {
        keys = platform::x11::OpenKeyState("");
    } catch (const std::exception& e) {
        std::cerr << "key_poll_bench: " << e.what() << "; skipped\n";
        return 77;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    keys.reset();
    return 0;
}
