// When nevlin alerts: crossings down through Low and Critical, re-arming, the mains, unknown
// readings, the charged alert and the critical command's last look; and the [Alerts] settings.
#include <gtest/gtest.h>

#include "monitor/Alerts.h"
#include "tests/monitor/Fakes.h"

namespace {

using Clock = AlertDecision::Clock;
using std::chrono::seconds;

platform::SYSTEM_POWER_STATUS Reading(std::uint8_t ac, std::uint8_t percent, std::uint8_t flag = 1) {
    return {ac, flag, percent, 0, 3600, -1};
}

AlertSettings On() {
    AlertSettings settings;
    settings.Enabled = true;
    return settings;
}

// Feeds readings (percent on battery, or on mains when ac is 1) and writes what each turn asked.
struct Turns {
    AlertDecision decision;
    Clock::time_point now{};
    std::string Step(std::uint8_t ac, std::uint8_t percent, std::uint8_t flag = 1) {
        const platform::SYSTEM_POWER_STATUS reading = Reading(ac, percent, flag);
        return Describe(decision.Next(&reading, now));
    }
    static std::string Describe(const AlertActions& actions) {
        static const char* kNames[] = {"low", "critical", "full", "plugged-in", "unplugged"};
        std::string text;
        if (actions.Withdraw) text += "withdraw ";
        if (actions.Show) text += std::string(kNames[static_cast<int>(actions.Show->Kind)]) + " ";
        if (actions.RunCriticalCommand) text += "run ";
        return text;
    }
};

TEST(Alerts, FallingThroughLowThenCriticalAlertsOnceEachAndPluggingInWithdraws) {
    Turns run{AlertDecision(On())};
    EXPECT_EQ(run.Step(0, 20), "");
    EXPECT_EQ(run.Step(0, 10), "low ");
    EXPECT_EQ(run.Step(0, 9), "");
    EXPECT_EQ(run.Step(0, 5), "critical ");
    EXPECT_EQ(run.Step(0, 4), "");
    EXPECT_EQ(run.Step(1, 4, 8), "withdraw ");
    EXPECT_EQ(run.Step(1, 5, 8), "");
}

TEST(Alerts, RearmOnlyThreePointsAboveOrAfterTheMainsChanged) {
    Turns run{AlertDecision(On())};
    EXPECT_EQ(run.Step(0, 10), "low ") << "a start below Low alerts once";
    EXPECT_EQ(run.Step(0, 12), "");
    EXPECT_EQ(run.Step(0, 10), "") << "two points above did not re-arm";
    EXPECT_EQ(run.Step(0, 13), "");
    EXPECT_EQ(run.Step(0, 10), "low ");
    EXPECT_EQ(run.Step(1, 10, 8), "withdraw ");
    EXPECT_EQ(run.Step(0, 10), "low ") << "unplugged below Low";
    EXPECT_EQ(run.Step(0, 3), "critical ") << "a drop past both thresholds gives one critical alert";

    Turns fromCritical{AlertDecision(On())};
    EXPECT_EQ(fromCritical.Step(0, 2), "critical ");
    EXPECT_EQ(fromCritical.Step(0, 8), "") << "the critical alert stood for the low one";

    AlertSettings above = On();
    above.Low = 5;
    above.Critical = 10;
    Turns criticalAboveLow{AlertDecision(above)};
    EXPECT_EQ(criticalAboveLow.Step(0, 10), "critical ");
    EXPECT_EQ(criticalAboveLow.Step(0, 8), "");
    EXPECT_EQ(criticalAboveLow.Step(0, 5), "") << "no low alert while the critical one stands";
}

TEST(Alerts, UnknownReadingsNeitherAlertNorDisarm) {
    Turns run{AlertDecision(On())};
    EXPECT_EQ(run.Step(0, 20), "");
    EXPECT_EQ(run.Step(0, platform::kUnknownByte), "");
    EXPECT_EQ(run.Step(platform::kUnknownByte, 9), "");
    EXPECT_EQ(Turns::Describe(run.decision.Next(nullptr, run.now)), "") << "a failed query";
    EXPECT_EQ(run.Step(0, 9), "low ");
    EXPECT_EQ(run.Step(0, platform::kUnknownByte), "");
    EXPECT_EQ(run.Step(0, 9), "") << "the unknown reading did not re-arm";
}

TEST(Alerts, OffOrOnMainsNothingButTheChargedAlertAndPlugNotices) {
    Turns off{AlertDecision(AlertSettings{})};
    EXPECT_EQ(off.Step(0, 3), "");

    AlertSettings settings = On();
    settings.Full = 80;
    settings.Plug = true;
    Turns run{AlertDecision(settings)};
    EXPECT_EQ(run.Step(1, 3, 8), "") << "no alert below Low on mains, no notice for the first reading";
    EXPECT_EQ(run.Step(1, 79, 8), "");
    EXPECT_EQ(run.Step(1, 80, 8), "full ");
    EXPECT_EQ(run.Step(1, 78, 1), "");
    EXPECT_EQ(run.Step(1, 80, 1), "") << "two points below did not re-arm";
    EXPECT_EQ(run.Step(1, 77, 8), "");
    EXPECT_EQ(run.Step(1, 80, 8), "full ");
    EXPECT_EQ(run.Step(0, 80), "unplugged ");
    EXPECT_EQ(run.Step(1, 80, 1), "full ") << "the mains changed: armed again";
}

TEST(Alerts, CriticalCommandRunsOnceAfterItsDelayOnlyIfStillCriticalOnBattery) {
    AlertSettings settings = On();
    settings.CriticalCommand = "systemctl hibernate";
    settings.CriticalDelay = 60;
    Turns run{AlertDecision(settings)};
    EXPECT_EQ(run.Step(0, 5), "critical ");
    run.now += seconds(59);
    EXPECT_EQ(run.Step(0, 4), "");
    run.now += seconds(1);
    EXPECT_EQ(run.Step(0, 4), "run ");
    EXPECT_EQ(run.Step(0, 8), "");
    EXPECT_EQ(run.Step(0, 5), "critical ") << "re-armed, but the command waits for the mains";
    run.now += seconds(60);
    EXPECT_EQ(run.Step(0, 5), "");

    EXPECT_EQ(run.Step(1, 5, 8), "withdraw ");
    EXPECT_EQ(run.Step(0, 5), "critical ");
    run.now += seconds(30);
    EXPECT_EQ(run.Step(1, 5, 8), "withdraw ") << "the mains came back during the delay";
    run.now += seconds(60);
    EXPECT_EQ(run.Step(0, 5), "critical ");
    run.now += seconds(60);
    EXPECT_EQ(run.Step(0, 5, 8), "") << "charging at the last look";
}

TEST(Alerts, SettingsOutOfRangeWarnAndKeepTheirDefaults) {
    fakes::MemorySettings store;
    const auto set = [&](const char* key, const char* value) { store.Values[{"Ostravel", "Alerts", key}] = value; };
    set("Enabled", "1");
    set("Low", "15");
    set("Critical", "0");
    set("Full", "x80");
    set("CriticalDelay", "-5");
    set("CriticalCommand", "loginctl lock-session");
    std::vector<std::string> warnings;
    const AlertSettings settings =
        ReadAlertSettings(store, "Ostravel", [&](const std::string& line) { warnings.push_back(line); });
    EXPECT_TRUE(settings.Enabled);
    EXPECT_EQ(settings.Low, 15);
    EXPECT_EQ(settings.Critical, 5);
    EXPECT_EQ(settings.Full, 0);
    EXPECT_EQ(settings.CriticalDelay, 60);
    EXPECT_EQ(settings.CriticalCommand, "loginctl lock-session");
    ASSERT_EQ(warnings.size(), 3u);
    EXPECT_EQ(warnings[0], "/home/user/.config/Ostravel/settings.conf: ignoring [Alerts] Critical = \"0\" (not a "
                           "whole number from 1 to 100), using 5");

    fakes::MemorySettings off;
    off.Values[{"Ostravel", "Alerts", "Low"}] = "x";
    EXPECT_FALSE(ReadAlertSettings(off, "Ostravel", [](const std::string&) { FAIL(); }).Enabled)
        << "alerts left off say nothing";
}

TEST(Alerts, NoticesGiveTheChargeAndTheTimeLeftWhenKnown) {
    const platform::Notice low = NoticeOf({AlertKind::Low, 9, 3900});
    EXPECT_EQ(low.Body, "Заряд 9 %, осталось 1 ч. 05 м.");
    EXPECT_EQ(low.Level, platform::NoticeLevel::Warning);
    const platform::Notice critical = NoticeOf({AlertKind::Critical, 4, -1});
    EXPECT_EQ(critical.Body, "Заряд 4 %. Подключите питание.");
    EXPECT_EQ(critical.Level, platform::NoticeLevel::Critical);
}

// The window with alerts on: each turn's actions reach the notifier in order, the notifier
// turns with the window, nothing is saved; with alerts off no notifier is ever opened.
TEST(Alerts, TheWindowCarriesOutEachTurnsActionsOnTheNotifier) {
    auto store = std::make_shared<fakes::MemorySettings>();
    const auto set = [&](const char* key, const char* value) { store->Values[{"Ostravel", "Alerts", key}] = value; };
    set("Enabled", "1");
    set("Low", "ten");
    set("CriticalCommand", "loginctl lock-session");
    fakes::Harness run(store);
    ASSERT_NE(run.Notifier, nullptr);
    EXPECT_EQ(run.Warnings, "/home/user/.config/Ostravel/settings.conf: ignoring [Alerts] Low = \"ten\" (not a whole "
                            "number from 1 to 100), using 10\n");
    for (const std::uint8_t percent : {20, 9, 4}) {
        run.Power = fakes::Reading(0, 1, percent);
        run.Form->Turn();
    }
    run.Now += seconds(60);
    run.Form->Turn();
    run.Power = fakes::Reading(1, 8, 4);
    run.Form->Turn();
    EXPECT_EQ(run.Notifier->Calls,
              (std::vector<std::string>{"Show Warning Батарея разряжается", "Show Critical Батарея почти разряжена",
                                        "Run loginctl lock-session", "Withdraw"}));
    EXPECT_EQ(run.Notifier->Turns, 5);
    EXPECT_TRUE(store->SavedKeys.empty()) << "the alerts write no setting";
    EXPECT_EQ(run.Form->Controls().Label1.Caption, "4") << "the window is the same";

    auto off = std::make_shared<fakes::MemorySettings>();
    off->Values[{"Ostravel", "Alerts", "Enabled"}] = "0";
    fakes::Harness quiet(off);
    quiet.Power = fakes::Reading(0, 1, 3);
    quiet.Form->Turn();
    EXPECT_EQ(quiet.Notifier, nullptr);
}

} // namespace
