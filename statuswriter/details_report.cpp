#include "statuswriter/details_report.h"

#include <cmath>
#include <nlohmann/json.hpp>

namespace Battery {
namespace {

using Json = nlohmann::ordered_json; // the fields in the order they are documented

template <class T>
Json Value(const std::optional<T>& value) {
    return value ? Json(*value) : Json(nullptr);
}

Json Rounded(const std::optional<double>& value, double parts) {
    return value ? Json(std::round(*value * parts) / parts) : Json(nullptr);
}

// The kernel's words for a battery's state.
Json StateWord(const std::optional<platform::BatteryState>& state) {
    if (!state) return nullptr;
    switch (*state) {
    case platform::BatteryState::Charging: return "Charging";
    case platform::BatteryState::Discharging: return "Discharging";
    case platform::BatteryState::NotCharging: return "Not charging";
    case platform::BatteryState::Full: return "Full";
    case platform::BatteryState::Unknown: break;
    }
    return "Unknown";
}

} // namespace

std::string DetailsReport(const platform::PowerDetails& details) {
    std::string report;
    for (const std::string& line : platform::DetailsLines(details, platform::DetailsLanguage::English))
        report += line + '\n';
    return report;
}

std::string DetailsJson(const platform::PowerDetails& details) {
    const platform::SYSTEM_POWER_STATUS& record = details.record;
    Json json;
    json["ac_line_status"] = record.ACLineStatus;
    json["battery_flag"] = record.BatteryFlag;
    json["battery_life_percent"] = record.BatteryLifePercent;
    json["battery_life_time"] = record.BatteryLifeTime;
    json["battery_full_life_time"] = record.BatteryFullLifeTime;
    json["seconds_to_full"] = Value(details.secondsToFull);
    json["draw_watts"] = Rounded(details.drawWatts, 1000);
    json["batteries"] = Json::array();
    for (const platform::BatteryDetails& battery : details.batteries) {
        Json& entry = json["batteries"].emplace_back();
        entry["name"] = battery.name;
        entry["manufacturer"] = Value(battery.manufacturer);
        entry["model"] = Value(battery.model);
        entry["technology"] = Value(battery.technology);
        entry["status"] = StateWord(battery.state);
        entry["percent"] = Value(battery.percent);
        entry["energy_now_wh"] = Rounded(battery.energyNowWh, 1000);
        entry["energy_full_wh"] = Rounded(battery.energyFullWh, 1000);
        entry["energy_full_design_wh"] = Rounded(battery.energyFullDesignWh, 1000);
        entry["health_percent"] = Rounded(battery.healthPercent, 10);
        entry["cycle_count"] = Value(battery.cycleCount);
        entry["draw_watts"] = Rounded(battery.drawWatts, 1000);
    }
    // A name that is not UTF-8 gets U+FFFD rather than stopping the report.
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + '\n';
}

} // namespace Battery
