// vantrel --json, read back with a JSON parser: the fields and values of a fixture tree, worked
// out by hand, and what becomes of unknowns, long fractions and text that is not UTF-8.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/linux/power_supply_directory.h"
#include "statuswriter/details_report.h"

namespace {

using nlohmann::json;

TEST(DetailsJson, TwoBatteriesWithDesignValuesAsWorkedOutByHand) {
    const auto details = platform::linux_detail::ReadPowerDetails(OSTRAVEL_POWER_FIXTURES "/two_batteries_design");
    ASSERT_TRUE(details.Ok());
    // 48.8 of 76 Wh at 7 + 3 W: 17568 s left of 27360 s; BAT1's health is 36 / 38.4 Wh.
    const json expected = json::parse(R"({
      "ac_line_status": 0, "battery_flag": 0, "battery_life_percent": 64,
      "battery_life_time": 17568, "battery_full_life_time": 27360,
      "seconds_to_full": null, "draw_watts": 10.0,
      "batteries": [
        {"name": "BAT0", "manufacturer": "SMP", "model": "5B10W13930", "technology": "Li-ion",
         "status": "Discharging", "percent": 50, "energy_now_wh": 20.0, "energy_full_wh": 40.0,
         "energy_full_design_wh": 50.0, "health_percent": 80.0, "cycle_count": 300, "draw_watts": 7.0},
        {"name": "BAT1", "manufacturer": null, "model": "L19L3PD6", "technology": "Li-poly",
         "status": "Discharging", "percent": 80, "energy_now_wh": 28.8, "energy_full_wh": 36.0,
         "energy_full_design_wh": 38.4, "health_percent": 93.8, "cycle_count": 12, "draw_watts": 3.0}
      ]})");
    const std::string text = Battery::DetailsJson(*details);
    EXPECT_EQ(json::parse(text), expected) << text;
    EXPECT_EQ(text.back(), '\n');
}

TEST(DetailsJson, UnknownsAreNullAndTheRecordKeepsItsCodes) {
    platform::PowerDetails details = platform::DetailsOfRecord({1, 128, 255, 0, -1, -1});
    json parsed = json::parse(Battery::DetailsJson(details));
    EXPECT_EQ(parsed, json::parse(R"({"ac_line_status": 1, "battery_flag": 128, "battery_life_percent": 255,
        "battery_life_time": -1, "battery_full_life_time": -1, "seconds_to_full": null, "draw_watts": null,
        "batteries": []})"));

    platform::BatteryDetails battery;
    battery.name = "BAT\xff";
    battery.state = platform::BatteryState::NotCharging;
    battery.energyNowWh = 12.34567;
    battery.healthPercent = 99.96;
    details.batteries.push_back(battery);
    details.secondsToFull = 600;
    parsed = json::parse(Battery::DetailsJson(details));
    EXPECT_EQ(parsed["seconds_to_full"], 600);
    const json& entry = parsed["batteries"][0];
    EXPECT_EQ(entry["name"], "BAT\xef\xbf\xbd"); // U+FFFD
    EXPECT_EQ(entry["status"], "Not charging");
    EXPECT_EQ(entry["energy_now_wh"], 12.346);
    EXPECT_EQ(entry["health_percent"], 100.0);
    EXPECT_EQ(entry["model"], nullptr);
    EXPECT_EQ(entry.size(), 12u);
}

} // namespace
