// One turn of the poll loop without its pause, over a window that does nothing.
#include <benchmark/benchmark.h>


#include "monitor/fNevlin.h"

namespace {

class QuietWindow final : public platform::Window {
public:
    int Invalidates = 0;
    void Show() override {}
    void Invalidate() override { ++Invalidates; }
    void DoEvents(platform::WindowEvents&) override {}
    platform::WindowState State() override { return platform::WindowState::Normal; }
    platform::TwipsRect Placement() override { return {0, 0, 1680, 630}; }
    void SetPlacement(const platform::TwipsRect&) override {}
    platform::TwipsRect PrimaryScreen() override { return {0, 0, 28800, 16200}; }
    std::vector<platform::TwipsRect> Monitors() override { return {PrimaryScreen()}; }
    double Dpi() override { return 96; }
    platform::PixelSize LargestSize() override { return {1920, 1080}; }
    void SetTopmost(bool) override {}
    void ReleaseCapture() override {}
    void BeginMove(int) override {}
    std::int16_t GetAsyncKeyState(int) override { return 0; }
};

// No settings at all, as on a first run; or only the alerts turned on.
class NoSettings final : public platform::SettingsStore {
public:
    bool AlertsOn = false;
    std::string GetSetting(const std::string&, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override {
        return AlertsOn && section == "Alerts" && key == "Enabled" ? "1" : defaultValue;
    }
    void SaveSetting(const std::string&, const std::string&, const std::string&, const std::string&) override {}
    std::string Location(const std::string&) const override { return "nowhere"; }
};

class QuietNotifier final : public platform::Notifier {
public:
    void Show(const platform::Notice&) override {}
    void Withdraw() override {}
    void Run(const std::string&) override {}
    void Turn() override {}
};

struct Bench {
    NoSettings settings;
    platform::SYSTEM_POWER_STATUS power{0, 1, 57, 0, 7380, -1};
    platform::Image picture{32, 32, std::vector<std::uint32_t>(32 * 32, 0xFFDEDEDE)};
    QuietWindow* window = nullptr;
    std::unique_ptr<fNevlin> form;

    explicit Bench(bool alertsOn = false) {
        settings.AlertsOn = alertsOn;
        NevlinServices services;
        services.OpenWindow = [this](const platform::WindowDesign&) {
            auto opened = std::make_unique<QuietWindow>();
            window = opened.get();
            return opened;
        };
        services.Settings = &settings;
        services.GetSystemPowerStatus = [this](platform::SYSTEM_POWER_STATUS* status) {
            *status = power;
            return platform::Result<platform::Done>(platform::Done{});
        };
        services.Sleep = [](std::uint32_t) {};
        services.ApplicationName = [] { return std::string("Ostravel"); };
        services.ChargingPicture = services.MainsPicture = services.BatteryPicture = &picture;
        services.OpenNotifier = [] { return std::make_unique<QuietNotifier>(); };
        form = std::make_unique<fNevlin>(std::move(services));
    }
};

void TurnWithNothingChanged(benchmark::State& state) {
    Bench bench;
    bench.form->Turn();
    for (auto _ : state) benchmark::DoNotOptimize(bench.form->Turn());
    if (bench.window->Invalidates != 1) state.SkipWithError("a turn without change invalidated the window");
}
BENCHMARK(TurnWithNothingChanged);

// The same with the alerts on, over a notifier that does nothing: the decision's own cost.
void TurnWithAlertsOn(benchmark::State& state) {
    Bench bench(true);
    bench.form->Turn();
    for (auto _ : state) benchmark::DoNotOptimize(bench.form->Turn());
}
BENCHMARK(TurnWithAlertsOn);

// The charge, its colour band, the state text and the picture change on every turn.
void TurnWithAChangeToDraw(benchmark::State& state) {
    Bench bench;
    bool charging = false;
    for (auto _ : state) {
        charging = !charging;
        bench.power = charging ? platform::SYSTEM_POWER_STATUS{1, 8, 64, 0, -1, -1}
                               : platform::SYSTEM_POWER_STATUS{0, 1, 65, 0, 7380, -1};
        benchmark::DoNotOptimize(bench.form->Turn());
    }
    if (bench.window->Invalidates != static_cast<int>(state.iterations()))
        state.SkipWithError("a turn with a change did not invalidate the window");
}
BENCHMARK(TurnWithAChangeToDraw);

} // namespace

BENCHMARK_MAIN();
