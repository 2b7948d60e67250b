// When nevlin warns: the low, critical and charged alerts, the plug notices and the critical
// command, decided from the readings and the time alone. The platform only shows, withdraws
// and runs what this decides.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/notifier.h"
#include "platform/power_status.h"
#include "platform/process.h"
#include "platform/settings.h"

// The [Alerts] settings, read once at start.
struct AlertSettings {
    bool Enabled = false;
    int Low = 10;          // percent
    int Critical = 5;      // percent
    int Full = 0;          // percent; 0: no charged alert
    bool Plug = false;     // a notice when the mains are plugged in or out
    std::string CriticalCommand;
    int CriticalDelay = 60; // seconds between the critical alert and the command
};

// Reads the section "Alerts" of application's settings; without Enabled=1 nothing else, so
// that alerts left off say nothing. A value that is not a whole number in its range keeps its
// default, and warn gets one line naming the key and where it is kept.
AlertSettings ReadAlertSettings(platform::SettingsStore& store, const std::string& application,
                                const platform::WarningHandler& warn);

enum class AlertKind { Low, Critical, Full, PluggedIn, Unplugged };

struct AlertNotice {
    AlertKind Kind = AlertKind::Low;
    std::uint8_t Percent = platform::kUnknownByte;
    std::int32_t SecondsLeft = platform::kUnknownTime;
};

// The notice as the notifier shows it: summary and body in Russian like the window's texts;
// the critical alert critical, the low one a warning, the rest information.
platform::Notice NoticeOf(const AlertNotice& notice);

// What one turn asks of the platform, in this order: withdraw, show, run.
struct AlertActions {
    bool Withdraw = false; // take the low or critical alert off the screen
    std::optional<AlertNotice> Show;
    bool RunCriticalCommand = false;
};

class AlertDecision {
public:
    using Clock = std::chrono::steady_clock;

    explicit AlertDecision(AlertSettings settings);

    // One turn's reading (nullptr when the query failed) at the time now.
    AlertActions Next(const platform::SYSTEM_POWER_STATUS* reading, Clock::time_point now);

    const AlertSettings& Settings() const { return settings_; }

private:
    void MainsChanged(const platform::SYSTEM_POWER_STATUS& reading, AlertActions& actions);
    void OnBattery(const platform::SYSTEM_POWER_STATUS& reading, Clock::time_point now, AlertActions& actions);
    void OnMains(const platform::SYSTEM_POWER_STATUS& reading, AlertActions& actions);
    void CheckCommand(const platform::SYSTEM_POWER_STATUS& reading, Clock::time_point now, AlertActions& actions);

    AlertSettings settings_;
    std::optional<std::uint8_t> mains_; // the last known line status
    bool lowArmed_ = true;
    bool criticalArmed_ = true;
    bool fullArmed_ = true;
    bool batteryAlertShown_ = false;     // a low or critical alert may still be on screen
    std::optional<Clock::time_point> commandDue_;
    bool commandSpent_ = false; // run, or due, since the mains were last plugged in
};
