// The uevent text of one supply against a plain reference: every known POWER_SUPPLY_ key
// takes the value of its last line, and numbers read as strtoll reads a whole decimal text.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "platform/linux/power_supply.h"
#include "tests/fuzz/fuzz_support.h"

using namespace platform::linux_detail;

namespace {

std::optional<std::int64_t> ReferenceNumber(std::string text) {
    const char* blanks = " \t\n\r\v\f";
    text.erase(0, text.find_first_not_of(blanks) == std::string::npos ? text.size()
                                                                       : text.find_first_not_of(blanks));
    text.erase(text.find_last_not_of(blanks) + 1);
    const std::size_t digitsFrom = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    if (digitsFrom == text.size() || text.find_first_not_of("0123456789", digitsFrom) != std::string::npos)
        return std::nullopt;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE) return std::nullopt;
    return value;
}

std::optional<std::int64_t> NumberOf(const PowerSupply& supply, SupplyProperty property) {
    switch (property) {
    case SupplyProperty::Present: return supply.present;
    case SupplyProperty::Online: return supply.online;
    case SupplyProperty::Capacity: return supply.capacity;
    case SupplyProperty::EnergyNow: return supply.energyNow;
    case SupplyProperty::EnergyFull: return supply.energyFull;
    case SupplyProperty::ChargeNow: return supply.chargeNow;
    case SupplyProperty::ChargeFull: return supply.chargeFull;
    case SupplyProperty::VoltageNow: return supply.voltageNow;
    case SupplyProperty::VoltageMinDesign: return supply.voltageMinDesign;
    case SupplyProperty::VoltageMaxDesign: return supply.voltageMaxDesign;
    case SupplyProperty::PowerNow: return supply.powerNow;
    case SupplyProperty::CurrentNow: return supply.currentNow;
    case SupplyProperty::TimeToEmptyAvg: return supply.timeToEmptyAvg;
    case SupplyProperty::TimeToEmptyNow: return supply.timeToEmptyNow;
    case SupplyProperty::EnergyAvg: return supply.energyAvg;
    case SupplyProperty::ChargeAvg: return supply.chargeAvg;
    case SupplyProperty::VoltageAvg: return supply.voltageAvg;
    case SupplyProperty::PowerAvg: return supply.powerAvg;
    case SupplyProperty::CurrentAvg: return supply.currentAvg;
    case SupplyProperty::EnergyFullDesign: return supply.energyFullDesign;
    case SupplyProperty::ChargeFullDesign: return supply.chargeFullDesign;
    case SupplyProperty::CycleCount: return supply.cycleCount;
    case SupplyProperty::TimeToFullAvg: return supply.timeToFullAvg;
    case SupplyProperty::TimeToFullNow: return supply.timeToFullNow;
    default: return std::nullopt;
    }
}

const std::string* TextOf(const PowerSupply& supply, SupplyProperty property) {
    switch (property) {
    case SupplyProperty::Manufacturer: return &supply.manufacturer;
    case SupplyProperty::ModelName: return &supply.modelName;
    case SupplyProperty::Technology: return &supply.technology;
    default: return nullptr;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    PowerSupply supply;
    const std::uint32_t carried = ApplyUevent(supply, text);

    // The reference: lines split at "\n", the key before the first "=", the last line wins.
    std::map<SupplyProperty, std::string> last;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        if (const auto property = UeventProperty(key)) last[*property] = line.substr(equals + 1);
    }

    std::uint32_t expectedCarried = 0;
    for (const auto& [property, value] : last) expectedCarried |= PropertyBit(property);
    fuzz::Require(carried == expectedCarried, "the carried properties are the keys present", text);

    for (int i = 0; i < kSupplyPropertyCount; ++i) {
        const auto property = static_cast<SupplyProperty>(i);
        PowerSupply alone;
        if (last.count(property)) SetSupplyProperty(alone, property, last[property]);
        if (property == SupplyProperty::Type) {
            fuzz::Require(supply.type == alone.type, "the type is its last line's", text);
        } else if (property == SupplyProperty::Scope) {
            fuzz::Require(supply.scope == alone.scope, "the scope is its last line's", text);
        } else if (property == SupplyProperty::Status) {
            fuzz::Require(supply.status == alone.status, "the status is its last line's", text);
        } else if (property == SupplyProperty::CapacityLevel) {
            fuzz::Require(supply.capacityLevel == alone.capacityLevel, "the level is its last line's", text);
        } else if (const std::string* value = TextOf(supply, property)) {
            fuzz::Require(*value == *TextOf(alone, property), "a text is its last line's", text);
            fuzz::Require(!fuzz::HasControlCharacter(*value), "a text has no control characters", text);
        } else {
            std::optional<std::int64_t> expected = last.count(property) ? ReferenceNumber(last[property]) : std::nullopt;
            if (expected == 65535 && IsGaugeReading(property)) expected.reset();
            fuzz::Require(NumberOf(supply, property) == expected, "a number reads as strtoll reads it", text);
        }
    }
    return 0;
}
