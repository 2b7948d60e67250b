// What one entry of the kernel's power-supply class reports, already parsed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform::linux_detail {

// Text values compare exactly with the kernel's words; anything else is Other. Missing: not given.
// Usb: every kind of USB port ("USB", "USB_C", "USB_PD", ...); Unknown: the kernel's word "Unknown".
enum class SupplyType : std::uint8_t { Missing, Battery, Mains, Usb, Unknown, Other };
enum class SupplyScope : std::uint8_t { Unknown, Device, Other };
enum class SupplyStatus : std::uint8_t { Missing, Charging, Discharging, NotCharging, Full, Unknown, Other };
// The coarse level of fuel gauges that give no percentage; the known ones run from lowest to highest.
enum class CapacityLevel : std::uint8_t { Missing, Critical, Low, Normal, High, Full, Unknown, Other };

// Numbers are in the kernel's units (µWh, µAh, µW, µA, µV, percent, seconds); an empty
// optional is a property that was absent, unreadable or not a whole number, and a rate or
// time of exactly 65535, the fuel gauges' "not available". Texts are trimmed, with control
// characters shown as "?"; empty when not given.
struct PowerSupply {
    SupplyType type = SupplyType::Missing;
    SupplyScope scope = SupplyScope::Unknown;
    SupplyStatus status = SupplyStatus::Missing;
    CapacityLevel capacityLevel = CapacityLevel::Missing;
    std::optional<std::int64_t> present;
    std::optional<std::int64_t> online;
    std::optional<std::int64_t> capacity;
    std::optional<std::int64_t> energyNow;
    std::optional<std::int64_t> energyFull;
    std::optional<std::int64_t> chargeNow;
    std::optional<std::int64_t> chargeFull;
    std::optional<std::int64_t> voltageNow;
    std::optional<std::int64_t> voltageMinDesign;
    std::optional<std::int64_t> voltageMaxDesign;
    std::optional<std::int64_t> powerNow;
    std::optional<std::int64_t> currentNow;
    std::optional<std::int64_t> timeToEmptyAvg;
    std::optional<std::int64_t> timeToEmptyNow;
    // Averaged values, which some gauges give instead of the ones of now.
    std::optional<std::int64_t> energyAvg;
    std::optional<std::int64_t> chargeAvg;
    std::optional<std::int64_t> voltageAvg;
    std::optional<std::int64_t> powerAvg;
    std::optional<std::int64_t> currentAvg;
    // What only the details use.
    std::optional<std::int64_t> energyFullDesign;
    std::optional<std::int64_t> chargeFullDesign;
    std::optional<std::int64_t> cycleCount;
    std::optional<std::int64_t> timeToFullAvg;
    std::optional<std::int64_t> timeToFullNow;
    std::string manufacturer;
    std::string modelName;
    std::string technology;
};

// The properties this reader uses, named as the attribute files are.
enum class SupplyProperty : std::uint8_t {
    Type, Scope, Status, Present, Online, Capacity,
    EnergyNow, EnergyFull, ChargeNow, ChargeFull,
    VoltageNow, VoltageMinDesign, VoltageMaxDesign, PowerNow, CurrentNow,
    CapacityLevel, TimeToEmptyAvg, TimeToEmptyNow,
    EnergyAvg, ChargeAvg, VoltageAvg, PowerAvg, CurrentAvg,
    EnergyFullDesign, ChargeFullDesign, CycleCount, TimeToFullAvg, TimeToFullNow,
    Manufacturer, ModelName, Technology,
};
inline constexpr int kSupplyPropertyCount = 31;
static_assert(kSupplyPropertyCount <= 32, "a set of properties is one bit each in 32");

// "energy_now" for EnergyNow: the attribute file's name.
const char* AttributeFileName(SupplyProperty property);

// The property that a uevent key such as POWER_SUPPLY_ENERGY_NOW carries, if any.
std::optional<SupplyProperty> UeventProperty(std::string_view key);

// A trimmed whole number (optional sign, decimal digits) that fits in 64 bits.
std::optional<std::int64_t> ParseWholeNumber(std::string_view text);

// The rates and times a fuel gauge measures, which read 65535 where it cannot.
bool IsGaugeReading(SupplyProperty property);

// Stores the raw text of one property; unusable text leaves it unknown.
void SetSupplyProperty(PowerSupply& supply, SupplyProperty property, std::string_view text);

// Applies every POWER_SUPPLY_*=value line; returns the set of properties the
// text carried, one bit per SupplyProperty.
std::uint32_t ApplyUevent(PowerSupply& supply, std::string_view text);

constexpr std::uint32_t PropertyBit(SupplyProperty property) {
    return 1u << static_cast<unsigned>(property);
}

} // namespace platform::linux_detail
