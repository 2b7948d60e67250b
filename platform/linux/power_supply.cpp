#include "platform/linux/power_supply.h"

#include <array>
#include <limits>

#include "platform/blanks.h"

namespace platform::linux_detail {
namespace {

struct PropertyName {
    const char* file;       // attribute file
    std::string_view event; // uevent key without the POWER_SUPPLY_ prefix
};

constexpr std::array<PropertyName, kSupplyPropertyCount> kNames{{
    {"type", "TYPE"},
    {"scope", "SCOPE"},
    {"status", "STATUS"},
    {"present", "PRESENT"},
    {"online", "ONLINE"},
    {"capacity", "CAPACITY"},
    {"energy_now", "ENERGY_NOW"},
    {"energy_full", "ENERGY_FULL"},
    {"charge_now", "CHARGE_NOW"},
    {"charge_full", "CHARGE_FULL"},
    {"voltage_now", "VOLTAGE_NOW"},
    {"voltage_min_design", "VOLTAGE_MIN_DESIGN"},
    {"voltage_max_design", "VOLTAGE_MAX_DESIGN"},
    {"power_now", "POWER_NOW"},
    {"current_now", "CURRENT_NOW"},
    {"capacity_level", "CAPACITY_LEVEL"},
    {"time_to_empty_avg", "TIME_TO_EMPTY_AVG"},
    {"time_to_empty_now", "TIME_TO_EMPTY_NOW"},
    {"energy_avg", "ENERGY_AVG"},
    {"charge_avg", "CHARGE_AVG"},
    {"voltage_avg", "VOLTAGE_AVG"},
    {"power_avg", "POWER_AVG"},
    {"current_avg", "CURRENT_AVG"},
    {"energy_full_design", "ENERGY_FULL_DESIGN"},
    {"charge_full_design", "CHARGE_FULL_DESIGN"},
    {"cycle_count", "CYCLE_COUNT"},
    {"time_to_full_avg", "TIME_TO_FULL_AVG"},
    {"time_to_full_now", "TIME_TO_FULL_NOW"},
    {"manufacturer", "MANUFACTURER"},
    {"model_name", "MODEL_NAME"},
    {"technology", "TECHNOLOGY"},
}};

static_assert(static_cast<int>(SupplyProperty::Technology) + 1 == kSupplyPropertyCount);
static_assert([] {
    for (const PropertyName& name : kNames)
        if (name.file == nullptr || name.event.empty()) return false;
    return true;
}(), "every property needs both of its names");

constexpr std::string_view kEventPrefix = "POWER_SUPPLY_";

// Fuel gauges that cannot measure a rate or a time say 65535, which is not 18 hours.
constexpr std::int64_t kGaugeNotAvailable = 65535;

SupplyType ParseType(std::string_view text) {
    if (text.empty()) return SupplyType::Missing;
    if (text == "Battery") return SupplyType::Battery;
    if (text == "Mains") return SupplyType::Mains;
    if (text == "USB" || text.starts_with("USB_")) return SupplyType::Usb;
    if (text == "Unknown") return SupplyType::Unknown;
    return SupplyType::Other;
}

SupplyScope ParseScope(std::string_view text) {
    if (text.empty()) return SupplyScope::Unknown;
    return text == "Device" ? SupplyScope::Device : SupplyScope::Other;
}

SupplyStatus ParseStatus(std::string_view text) {
    if (text.empty()) return SupplyStatus::Missing;
    if (text == "Charging") return SupplyStatus::Charging;
    if (text == "Discharging") return SupplyStatus::Discharging;
    if (text == "Not charging") return SupplyStatus::NotCharging;
    if (text == "Full") return SupplyStatus::Full;
    if (text == "Unknown") return SupplyStatus::Unknown;
    return SupplyStatus::Other;
}

CapacityLevel ParseCapacityLevel(std::string_view text) {
    if (text.empty()) return CapacityLevel::Missing;
    if (text == "Critical") return CapacityLevel::Critical;
    if (text == "Low") return CapacityLevel::Low;
    if (text == "Normal") return CapacityLevel::Normal;
    if (text == "High") return CapacityLevel::High;
    if (text == "Full") return CapacityLevel::Full;
    if (text == "Unknown") return CapacityLevel::Unknown;
    return CapacityLevel::Other;
}

std::string PrintableText(std::string_view text) {
    std::string printable(text);
    for (char& c : printable)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    return printable;
}

std::string* TextField(PowerSupply& supply, SupplyProperty property) {
    switch (property) {
    case SupplyProperty::Manufacturer: return &supply.manufacturer;
    case SupplyProperty::ModelName: return &supply.modelName;
    case SupplyProperty::Technology: return &supply.technology;
    default: return nullptr;
    }
}

std::optional<std::int64_t>* NumberField(PowerSupply& supply, SupplyProperty property) {
    switch (property) {
    case SupplyProperty::Present: return &supply.present;
    case SupplyProperty::Online: return &supply.online;
    case SupplyProperty::Capacity: return &supply.capacity;
    case SupplyProperty::EnergyNow: return &supply.energyNow;
    case SupplyProperty::EnergyFull: return &supply.energyFull;
    case SupplyProperty::ChargeNow: return &supply.chargeNow;
    case SupplyProperty::ChargeFull: return &supply.chargeFull;
    case SupplyProperty::VoltageNow: return &supply.voltageNow;
    case SupplyProperty::VoltageMinDesign: return &supply.voltageMinDesign;
    case SupplyProperty::VoltageMaxDesign: return &supply.voltageMaxDesign;
    case SupplyProperty::PowerNow: return &supply.powerNow;
    case SupplyProperty::CurrentNow: return &supply.currentNow;
    case SupplyProperty::TimeToEmptyAvg: return &supply.timeToEmptyAvg;
    case SupplyProperty::TimeToEmptyNow: return &supply.timeToEmptyNow;
    case SupplyProperty::EnergyAvg: return &supply.energyAvg;
    case SupplyProperty::ChargeAvg: return &supply.chargeAvg;
    case SupplyProperty::VoltageAvg: return &supply.voltageAvg;
    case SupplyProperty::PowerAvg: return &supply.powerAvg;
    case SupplyProperty::CurrentAvg: return &supply.currentAvg;
    case SupplyProperty::EnergyFullDesign: return &supply.energyFullDesign;
    case SupplyProperty::ChargeFullDesign: return &supply.chargeFullDesign;
    case SupplyProperty::CycleCount: return &supply.cycleCount;
    case SupplyProperty::TimeToFullAvg: return &supply.timeToFullAvg;
    case SupplyProperty::TimeToFullNow: return &supply.timeToFullNow;
    case SupplyProperty::Type:
    case SupplyProperty::Scope:
    case SupplyProperty::Status:
    case SupplyProperty::CapacityLevel:
    case SupplyProperty::Manufacturer:
    case SupplyProperty::ModelName:
    case SupplyProperty::Technology: break;
    }
    return nullptr;
}

} // namespace

bool IsGaugeReading(SupplyProperty property) {
    switch (property) {
    case SupplyProperty::PowerNow:
    case SupplyProperty::CurrentNow:
    case SupplyProperty::PowerAvg:
    case SupplyProperty::CurrentAvg:
    case SupplyProperty::TimeToEmptyAvg:
    case SupplyProperty::TimeToEmptyNow:
    case SupplyProperty::TimeToFullAvg:
    case SupplyProperty::TimeToFullNow: return true;
    default: return false;
    }
}

const char* AttributeFileName(SupplyProperty property) {
    return kNames[static_cast<std::size_t>(property)].file;
}

std::optional<SupplyProperty> UeventProperty(std::string_view key) {
    if (!key.starts_with(kEventPrefix)) return std::nullopt;
    key.remove_prefix(kEventPrefix.size());
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (kNames[i].event == key) return static_cast<SupplyProperty>(i);
    }
    return std::nullopt;
}

std::optional<std::int64_t> ParseWholeNumber(std::string_view text) {
    text = TrimBlanks(text, Blanks::WithLineEnds); // each value is a line of its own
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    // Accumulate the magnitude unsigned so that the most negative value still fits.
    const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : std::numeric_limits<std::int64_t>::max();
    std::uint64_t magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (magnitude > (limit - digit) / 10) return std::nullopt;
        magnitude = magnitude * 10 + digit;
    }
    if (!negative) return static_cast<std::int64_t>(magnitude);
    return magnitude == limit ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(magnitude);
}

void SetSupplyProperty(PowerSupply& supply, SupplyProperty property, std::string_view text) {
    text = TrimBlanks(text, Blanks::WithLineEnds); // each value is a line of its own
    switch (property) {
    case SupplyProperty::Type: supply.type = ParseType(text); return;
    case SupplyProperty::Scope: supply.scope = ParseScope(text); return;
    case SupplyProperty::Status: supply.status = ParseStatus(text); return;
    case SupplyProperty::CapacityLevel: supply.capacityLevel = ParseCapacityLevel(text); return;
    default: break;
    }
    if (std::string* field = TextField(supply, property)) {
        *field = PrintableText(text);
        return;
    }
    std::optional<std::int64_t> number = ParseWholeNumber(text);
    if (number == kGaugeNotAvailable && IsGaugeReading(property)) number.reset();
    *NumberField(supply, property) = number;
}

std::uint32_t ApplyUevent(PowerSupply& supply, std::string_view text) {
    std::uint32_t carried = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const auto property = UeventProperty(line.substr(0, equals));
        if (!property) continue;
        SetSupplyProperty(supply, *property, line.substr(equals + 1));
        carried |= PropertyBit(*property);
    }
    return carried;
}

} // namespace platform::linux_detail
