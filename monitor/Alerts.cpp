#include "monitor/Alerts.h"

#include <charconv>
#include <utility>

#include "platform/message_text.h"

namespace {

const std::string kSection = "Alerts";
// An alert is armed again once the charge has moved this far back past its threshold.
constexpr int kRearmPoints = 3;

bool Known(const platform::SYSTEM_POWER_STATUS& reading) {
    return reading.ACLineStatus != platform::kUnknownByte && reading.BatteryLifePercent != platform::kUnknownByte &&
           reading.BatteryLifePercent <= 100;
}

bool Charging(const platform::SYSTEM_POWER_STATUS& reading) {
    return (reading.BatteryFlag & platform::kBatteryFlagCharging) != 0 &&
           reading.BatteryFlag < platform::kBatteryFlagNoBattery;
}

std::optional<int> WholeNumber(const std::string& text) {
    int value = 0;
    const char* last = text.data() + text.size();
    const auto result = std::from_chars(text.data(), last, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != last) return std::nullopt;
    return value;
}

// The window's own time text, "2 ч. 03 м.".
std::string TimeText(std::int32_t seconds) {
    const std::int32_t minutes = seconds / 60 % 60;
    return std::to_string(seconds / 3600) + " ч. " + (minutes < 10 ? "0" : "") + std::to_string(minutes) + " м.";
}

std::string ChargeText(const AlertNotice& notice) {
    std::string text = "Заряд " + std::to_string(notice.Percent) + " %";
    if (notice.SecondsLeft > 0) text += ", осталось " + TimeText(notice.SecondsLeft);
    return text;
}

} // namespace

AlertSettings ReadAlertSettings(platform::SettingsStore& store, const std::string& application,
                                const platform::WarningHandler& warn) {
    AlertSettings settings;
    const auto text = [&](const char* key) { return store.GetSetting(application, kSection, key, ""); };
    // An absent key keeps its default silently; a present one must be a whole number in range.
    const auto number = [&](const char* key, int& value, int lowest, int highest) {
        const std::string stored = text(key);
        if (stored.empty()) return;
        const std::optional<int> parsed = WholeNumber(stored);
        if (parsed && *parsed >= lowest && *parsed <= highest) {
            value = *parsed;
            return;
        }
        if (!warn) return;
        // Worded as the placement's warnings are.
        warn(store.Location(application) + ": ignoring [" + kSection + "] " + key + " = " +
             platform::QuotedForMessage(stored) + " (not a whole number from " + std::to_string(lowest) + " to " +
             std::to_string(highest) + "), using " + std::to_string(value));
    };
    settings.Enabled = text("Enabled") == "1";
    if (!settings.Enabled) return settings;
    number("Low", settings.Low, 1, 100);
    number("Critical", settings.Critical, 1, 100);
    number("Full", settings.Full, 0, 100);
    int plug = 0;
    number("Plug", plug, 0, 1);
    settings.Plug = plug == 1;
    settings.CriticalCommand = text("CriticalCommand");
    number("CriticalDelay", settings.CriticalDelay, 0, 24 * 3600);
    return settings;
}

platform::Notice NoticeOf(const AlertNotice& notice) {
    using platform::NoticeLevel;
    switch (notice.Kind) {
    case AlertKind::Low:
        return {"Батарея разряжается", ChargeText(notice), NoticeLevel::Warning};
    case AlertKind::Critical:
        return {"Батарея почти разряжена", ChargeText(notice) + ". Подключите питание.", NoticeLevel::Critical};
    case AlertKind::Full:
        return {"Батарея заряжена", ChargeText(notice), NoticeLevel::Information};
    case AlertKind::PluggedIn:
        return {"От сети", ChargeText(notice), NoticeLevel::Information};
    case AlertKind::Unplugged:
        return {"От батареи", ChargeText(notice), NoticeLevel::Information};
    }
    return {};
}

AlertDecision::AlertDecision(AlertSettings settings) : settings_(std::move(settings)) {}

AlertActions AlertDecision::Next(const platform::SYSTEM_POWER_STATUS* reading, Clock::time_point now) {
    AlertActions actions;
    // An unknown reading neither alerts nor re-arms: the next known one decides.
    if (!settings_.Enabled || reading == nullptr || !Known(*reading)) return actions;

    if (mains_ && *mains_ != reading->ACLineStatus) MainsChanged(*reading, actions);
    mains_ = reading->ACLineStatus;

    if (reading->ACLineStatus == 0) {
        OnBattery(*reading, now, actions);
    } else {
        OnMains(*reading, actions);
    }
    return actions;
}

void AlertDecision::MainsChanged(const platform::SYSTEM_POWER_STATUS& reading, AlertActions& actions) {
    lowArmed_ = criticalArmed_ = fullArmed_ = true;
    const bool pluggedIn = reading.ACLineStatus != 0;
    if (pluggedIn) {
        if (batteryAlertShown_) actions.Withdraw = true;
        batteryAlertShown_ = false;
        commandDue_.reset();
        commandSpent_ = false;
    }
    if (settings_.Plug) {
        actions.Show = AlertNotice{pluggedIn ? AlertKind::PluggedIn : AlertKind::Unplugged, reading.BatteryLifePercent,
                                   reading.BatteryLifeTime};
    }
}

void AlertDecision::OnBattery(const platform::SYSTEM_POWER_STATUS& reading, Clock::time_point now,
                              AlertActions& actions) {
    const int percent = reading.BatteryLifePercent;
    if (percent >= settings_.Critical + kRearmPoints) criticalArmed_ = true;
    // Never a low alert while the critical one stands: with Critical at or above Low it comes alone.
    if (percent >= settings_.Low + kRearmPoints && criticalArmed_) lowArmed_ = true;

    const AlertNotice notice{AlertKind::Low, reading.BatteryLifePercent, reading.BatteryLifeTime};
    if (percent <= settings_.Critical && criticalArmed_) {
        // The critical alert stands for the low one too, even when both are crossed at once.
        criticalArmed_ = lowArmed_ = false;
        actions.Show = notice;
        actions.Show->Kind = AlertKind::Critical;
        batteryAlertShown_ = true;
        if (!settings_.CriticalCommand.empty() && !commandSpent_ && !commandDue_) {
            commandDue_ = now + std::chrono::seconds(settings_.CriticalDelay);
        }
    } else if (percent <= settings_.Low && lowArmed_) {
        lowArmed_ = false;
        actions.Show = notice;
        batteryAlertShown_ = true;
    }
    CheckCommand(reading, now, actions);
}

void AlertDecision::OnMains(const platform::SYSTEM_POWER_STATUS& reading, AlertActions& actions) {
    if (settings_.Full == 0) return;
    const int percent = reading.BatteryLifePercent;
    if (percent <= settings_.Full - kRearmPoints) fullArmed_ = true;
    if (percent >= settings_.Full && fullArmed_) {
        fullArmed_ = false;
        actions.Show = AlertNotice{AlertKind::Full, reading.BatteryLifePercent, platform::kUnknownTime};
    }
}

// The last look before the command: still on battery, not charging, still at or below Critical.
void AlertDecision::CheckCommand(const platform::SYSTEM_POWER_STATUS& reading, Clock::time_point now,
                                 AlertActions& actions) {
    if (!commandDue_ || now < *commandDue_) return;
    commandDue_.reset();
    if (Charging(reading) || reading.BatteryLifePercent > settings_.Critical) return;
    commandSpent_ = true;
    actions.RunCriticalCommand = true;
}
