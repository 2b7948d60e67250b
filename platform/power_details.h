// The whole power picture of one reading: the record, the system's draw and times, and each
// battery's own values; for reports (vantrel --details, --json) and the window's details tip.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/power_status.h"
#include "platform/process.h"

namespace platform {

// A battery's state, as the kernel words it: "Charging", "Discharging", "Not charging", "Full",
// "Unknown" (the battery itself says it does not know).
enum class BatteryState : std::uint8_t { Unknown, Charging, Discharging, NotCharging, Full };

// One battery of the system (no mice or other devices). An empty optional is a fact the
// system does not give; texts are UTF-8 without control characters, never empty.
struct BatteryDetails {
    std::string name;                        // "BAT0": the supply's name (Linux); BAT0, BAT1, ... in device order (Windows)
    std::optional<std::string> manufacturer; // "SMP"
    std::optional<std::string> model;        // "5B10W13930"
    std::optional<std::string> technology;   // "Li-ion", "Li-poly", "NiMH", ...
    std::optional<BatteryState> state;
    std::optional<int> percent;              // 0..100, by the same rules as the record's
    std::optional<double> energyNowWh;       // charge in Ah counts at the battery's voltage
    std::optional<double> energyFullWh;
    std::optional<double> energyFullDesignWh;
    std::optional<double> healthPercent;     // 100 × full / design; above 100 for some new batteries
    std::optional<std::int64_t> cycleCount;
    std::optional<double> drawWatts;         // >= 0, into or out of it, as it reads now
};

struct PowerDetails {
    // The record of this reading, exactly as GetSystemPowerStatus gives it.
    SYSTEM_POWER_STATUS record{};
    // The record's facts as values; empty where the record says unknown.
    std::optional<bool> onMains;
    std::optional<int> percent;                 // 0..100
    std::optional<std::int32_t> secondsToEmpty; // on battery
    // While charging: the energy missing at the averaged charge rate, else the system's own
    // estimate; within seven days.
    std::optional<std::int32_t> secondsToFull;
    std::optional<double> drawWatts;            // the batteries' draw, averaged as the times use it
    bool charging = false;                      // the record's charging bit, on mains
    bool noBattery = false;                     // the record's "no battery"
    std::vector<BatteryDetails> batteries;      // sorted by name; empty where no battery device is seen
};

// The system part of the details from a record, the rest left empty.
PowerDetails DetailsOfRecord(const SYSTEM_POWER_STATUS& record);

// One reading of the whole picture. Fails, with the system's reason, only when the record
// itself cannot be had; a battery whose own values cannot be read gives empty ones.
Result<PowerDetails> GetPowerDetails();

// The words of the details' text in one language; the layout is the same in every language.
enum class DetailsLanguage : std::uint8_t { English, Russian };

// The details as lines of text: the system's line, then per battery a line with its name,
// state and percent and indented lines with what else it gives (unknown facts are left out).
std::vector<std::string> DetailsLines(const PowerDetails& details, DetailsLanguage language);

} // namespace platform
