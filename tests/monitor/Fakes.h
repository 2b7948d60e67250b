// Test doubles for the window's services: a window that records what it is asked to do,
// an in-memory settings store and a scripted power query.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "monitor/fNevlin.h"

namespace fakes {

class FakeWindow final : public platform::Window {
public:
    explicit FakeWindow(const platform::WindowDesign& design) : Design(design), CurrentPlacement(design.Placement) {}

    platform::WindowDesign Design;
    std::vector<std::string> Calls; // every call but the queries, in order
    platform::WindowState CurrentState = platform::WindowState::Normal;
    platform::TwipsRect CurrentPlacement;
    platform::TwipsRect Primary{0, 0, 28800, 16200}; // 1920 x 1080 pixels at 96 dpi
    std::vector<platform::TwipsRect> MonitorList{Primary};
    double DisplayDpi = 96;
    platform::PixelSize Largest{1920, 1080}; // the virtual screen
    std::map<int, std::deque<std::int16_t>> KeyWords; // words the next queries of a key return
    std::vector<int> KeysRead;
    std::function<void(platform::WindowEvents&)> OnDoEvents;
    int Invalidates = 0;

    void Show() override { Calls.push_back("Show"); }
    void Invalidate() override {
        Calls.push_back("Invalidate");
        ++Invalidates;
    }
    void DoEvents(platform::WindowEvents& events) override {
        Calls.push_back("DoEvents");
        if (OnDoEvents) OnDoEvents(events);
    }
    platform::WindowState State() override { return CurrentState; }
    platform::TwipsRect Placement() override { return CurrentPlacement; }
    void SetPlacement(const platform::TwipsRect& placement) override {
        Calls.push_back("SetPlacement");
        CurrentPlacement = placement;
    }
    platform::TwipsRect PrimaryScreen() override { return Primary; }
    std::vector<platform::TwipsRect> Monitors() override { return MonitorList; }
    double Dpi() override { return DisplayDpi; }
    platform::PixelSize LargestSize() override { return Largest; }
    void SetTopmost(bool topmost) override { Calls.push_back(topmost ? "SetTopmost(true)" : "SetTopmost(false)"); }
    void ReleaseCapture() override { Calls.push_back("ReleaseCapture"); }
    void BeginMove(int button) override { Calls.push_back("BeginMove(" + std::to_string(button) + ")"); }
    std::vector<std::vector<std::string>> Tips; // the lines of each ShowTip
    void ShowTip(const std::vector<std::string>& lines) override {
        Calls.push_back("ShowTip");
        Tips.push_back(lines);
    }
    void HideTip() override { Calls.push_back("HideTip"); }
    std::int16_t GetAsyncKeyState(int virtualKey) override {
        KeysRead.push_back(virtualKey);
        std::deque<std::int16_t>& words = KeyWords[virtualKey];
        if (words.empty()) return 0;
        const std::int16_t word = words.front();
        words.pop_front();
        return word;
    }
};

class MemorySettings final : public platform::SettingsStore {
public:
    using Address = std::tuple<std::string, std::string, std::string>;
    std::map<Address, std::string> Values;
    std::vector<std::string> SavedKeys; // in the order they were saved
    std::vector<std::vector<std::string>> SaveBatches; // the keys of each SaveSettings call

    std::string GetSetting(const std::string& application, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override {
        const auto found = Values.find({application, section, key});
        return found == Values.end() ? defaultValue : found->second;
    }
    void SaveSetting(const std::string& application, const std::string& section, const std::string& key,
                     const std::string& value) override {
        Values[{application, section, key}] = value;
        SavedKeys.push_back(key);
    }
    void SaveSettings(const std::string& application, const std::string& section,
                      const std::vector<platform::SettingValue>& values) override {
        SaveBatches.emplace_back();
        for (const platform::SettingValue& value : values) SaveBatches.back().push_back(value.Key);
        SettingsStore::SaveSettings(application, section, values);
    }
    std::string Location(const std::string& application) const override {
        return "/home/user/.config/" + application + "/settings.conf";
    }

    // The placement entries of the window, as the program names them.
    std::string& Placement(const std::string& key) { return Values[{"Ostravel", "fNevlin Pos", key}]; }
    bool HasPlacement(const std::string& key) const {
        return Values.count({"Ostravel", "fNevlin Pos", key}) != 0;
    }
};

// A notifier that writes down what it is asked: "Show Warning|Critical|Information SUMMARY",
// "Withdraw", "Run COMMAND"; and counts its turns.
class FakeNotifier final : public platform::Notifier {
public:
    std::vector<std::string> Calls;
    int Turns = 0;

    void Show(const platform::Notice& notice) override {
        static const char* kLevels[] = {"Information", "Warning", "Critical"};
        Calls.push_back(std::string("Show ") + kLevels[static_cast<int>(notice.Level)] + " " + notice.Summary);
    }
    void Withdraw() override { Calls.push_back("Withdraw"); }
    void Run(const std::string& command) override { Calls.push_back("Run " + command); }
    void Turn() override { ++Turns; }
};

// Warnings as the program prints them, a line each, without its name.
inline platform::WarningHandler LinesInto(std::string& lines) {
    return [&lines](const std::string& message) { lines += message + '\n'; };
}

// A window over a settings store the test brings (a real key file, for instance).
struct FormOverStore {
    FakeWindow* Window = nullptr; // owned by the form
    std::unique_ptr<fNevlin> Form;
};

inline FormOverStore OpenFormOver(platform::SettingsStore& store, std::string& warnings) {
    FormOverStore opened;
    NevlinServices services;
    services.OpenWindow = [&opened](const platform::WindowDesign& design) {
        auto window = std::make_unique<FakeWindow>(design);
        opened.Window = window.get();
        return window;
    };
    services.Settings = &store;
    services.GetSystemPowerStatus = [](platform::SYSTEM_POWER_STATUS*) { return platform::Done{}; };
    services.Sleep = [](std::uint32_t) {};
    services.ApplicationName = [] { return std::string("Ostravel"); };
    services.Warn = LinesInto(warnings);
    opened.Form = std::make_unique<fNevlin>(std::move(services));
    return opened;
}

inline platform::SYSTEM_POWER_STATUS Reading(std::uint8_t acLine, std::uint8_t flag, std::uint8_t percent,
                                              std::int32_t lifeTime = -1) {
    return platform::SYSTEM_POWER_STATUS{acLine, flag, percent, 0, lifeTime, -1};
}

// A window over fakes; the settings store can be shared between runs of the program.
class Harness {
public:
    explicit Harness(std::shared_ptr<MemorySettings> store = std::make_shared<MemorySettings>())
        : Settings(std::move(store)) {
        NevlinServices services;
        services.OpenWindow = [this](const platform::WindowDesign& design) {
            auto window = std::make_unique<FakeWindow>(design);
            Window = window.get();
            return window;
        };
        services.Settings = Settings.get();
        services.GetSystemPowerStatus = [this](platform::SYSTEM_POWER_STATUS* status) {
            ++Queries;
            if (PowerFails) return platform::Result<platform::Done>::Failed(PowerFailure);
            *status = Power;
            return platform::Result<platform::Done>(platform::Done{});
        };
        services.Sleep = [this](std::uint32_t milliseconds) {
            Sleeps.push_back(milliseconds);
            if (BetweenTurns) BetweenTurns();
        };
        services.StopRequested = [this] { return StopAfterSleeps > 0 && Sleeps.size() >= StopAfterSleeps; };
        services.ApplicationName = [] { return std::string("Ostravel"); };
        services.ChargingPicture = &Charging;
        services.MainsPicture = &Mains;
        services.BatteryPicture = &Battery;
        services.Icons = {&Icon32, &Icon16};
        services.Warn = LinesInto(Warnings);
        services.OpenNotifier = [this] {
            auto notifier = std::make_unique<FakeNotifier>();
            Notifier = notifier.get();
            return notifier;
        };
        services.Now = [this] { return Now; };
        services.GetPowerDetails = [this] {
            ++DetailsReads;
            return platform::Result<platform::PowerDetails>(platform::DetailsOfRecord(Power));
        };
        Form = std::make_unique<fNevlin>(std::move(services));
    }

    std::shared_ptr<MemorySettings> Settings;
    platform::SYSTEM_POWER_STATUS Power = Reading(1, 1, 100);
    bool PowerFails = false;
    std::string PowerFailure; // the system's reason for a failed query; "" when it gives none
    int Queries = 0;
    int DetailsReads = 0;
    std::vector<std::uint32_t> Sleeps;
    std::function<void()> BetweenTurns;
    std::size_t StopAfterSleeps = 0; // a stop request from outside arrives during that sleep
    std::string Warnings;
    FakeNotifier* Notifier = nullptr; // owned by the form; opened only when the alerts are on
    std::chrono::steady_clock::time_point Now{};
    platform::Image Charging{32, 32, {}}, Mains{32, 32, {}}, Battery{32, 32, {}}, Icon32{32, 32, {}},
        Icon16{16, 16, {}};
    FakeWindow* Window = nullptr; // owned by the form
    std::unique_ptr<fNevlin> Form;

    // The pictures shown, by index: "010" is the mains picture alone.
    std::string VisiblePictures() const {
        std::string shown;
        for (const platform::Picture& picture : Form->Controls().Image1) shown += picture.Visible ? '1' : '0';
        return shown;
    }
};

} // namespace fakes
