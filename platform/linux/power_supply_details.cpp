#include "platform/linux/power_supply_details.h"

#include "platform/linux/power_supply_tally.h"

namespace platform::linux_detail {
namespace {

std::optional<std::string> Text(const std::string& text) {
    if (text.empty()) return std::nullopt;
    return text;
}

std::optional<BatteryState> StateOf(SupplyStatus status) {
    switch (status) {
    case SupplyStatus::Charging: return BatteryState::Charging;
    case SupplyStatus::Discharging: return BatteryState::Discharging;
    case SupplyStatus::NotCharging: return BatteryState::NotCharging;
    case SupplyStatus::Full: return BatteryState::Full;
    case SupplyStatus::Unknown: return BatteryState::Unknown;
    case SupplyStatus::Missing:
    case SupplyStatus::Other: break;
    }
    return std::nullopt;
}

// µWh or µW as Wh or W; a negative energy is no reading.
std::optional<double> Units(const Number& micro) {
    if (!micro || *micro < 0) return std::nullopt;
    return static_cast<double>(*micro) / 1e6;
}

} // namespace

BatteryDetails BatteryDetailsOf(const PowerSupply& battery, std::string_view name) {
    BatteryDetails details;
    details.name = name;
    details.manufacturer = Text(battery.manufacturer);
    details.model = Text(battery.modelName);
    // The kernel's "Unknown" technology says no more than an absent one.
    if (battery.technology != "Unknown") details.technology = Text(battery.technology);
    details.state = StateOf(battery.status);

    // The battery alone, by the rules of the whole record.
    PowerSupplyTally alone;
    alone.Add(battery, name);
    const std::uint8_t percent = alone.Result(std::nullopt).BatteryLifePercent;
    if (percent <= 100) details.percent = percent;

    const BatteryValues values = ValuesOf(battery);
    details.energyNowWh = Units(values.energyNow);
    details.energyFullWh = Units(values.energyFull);
    details.energyFullDesignWh = Units(values.energyFullDesign);
    if (values.energyFull && values.energyFullDesign)
        details.healthPercent = 100.0 * static_cast<double>(*values.energyFull) / static_cast<double>(*values.energyFullDesign);
    if (battery.cycleCount && *battery.cycleCount >= 0) details.cycleCount = battery.cycleCount;
    details.drawWatts = Units(values.rate);
    return details;
}

} // namespace platform::linux_detail
