#include "platform/linux/power_supply_tally.h"

#include <algorithm>
#include <limits>

namespace platform::linux_detail {
namespace {

// Below 0.1 W a battery is idle rather than draining, and the time left would be absurd;
// above 300 W the reading is not a laptop's.
constexpr std::int64_t kLowestRate = 100'000;       // µW
constexpr std::int64_t kHighestRate = 300'000'000;  // µW
constexpr std::int64_t kLongestTime = 7 * 24 * 3600; // s

using Number = std::optional<std::int64_t>;

Number Multiply(std::int64_t a, std::int64_t b) {
    std::int64_t product;
    if (__builtin_mul_overflow(a, b, &product)) return std::nullopt;
    return product;
}

// µAh or µA times µV gives µWh or µW.
Number TimesVolts(std::int64_t microUnits, std::int64_t microVolts) {
    const Number product = Multiply(microUnits, microVolts);
    if (!product) return std::nullopt;
    return *product / 1'000'000;
}

Number Magnitude(std::int64_t value) {
    if (value == std::numeric_limits<std::int64_t>::min()) return std::nullopt;
    return value < 0 ? -value : value;
}

Number Positive(const Number& value) { return value && *value > 0 ? value : std::nullopt; }

// The first voltage the battery reports, from the live reading to the design limits.
Number BatteryVoltage(const PowerSupply& battery) {
    if (Number v = Positive(battery.voltageNow)) return v;
    if (Number v = Positive(battery.voltageMinDesign)) return v;
    return Positive(battery.voltageMaxDesign);
}

// 100 × now / full, rounded down; now is never above full here.
Number PercentOf(std::int64_t now, std::int64_t full) {
    const Number scaled = Multiply(now, 100);
    if (!scaled || full <= 0) return std::nullopt;
    return std::clamp<std::int64_t>(*scaled / full, 0, 100);
}

// Present batteries of the system count whether or not their level can be read.
bool IsSystemBattery(const PowerSupply& supply) {
    return supply.type == SupplyType::Battery && supply.scope != SupplyScope::Device && supply.present != 0;
}

bool IsMains(const PowerSupply& supply) {
    return supply.type != SupplyType::Battery && supply.scope != SupplyScope::Device && supply.online.has_value();
}

// Whole seconds capped at seven days; -1 when unknown or longer.
std::int32_t CappedSeconds(const Number& seconds) {
    if (!seconds || *seconds < 0 || *seconds > kLongestTime) return kUnknownTime;
    return static_cast<std::int32_t>(*seconds);
}

std::int32_t Seconds(const Number& microWattHours, std::int64_t microWatts) {
    if (!microWattHours) return kUnknownTime;
    const Number scaled = Multiply(*microWattHours, 3600);
    if (!scaled) return kUnknownTime;
    return CappedSeconds(*scaled / microWatts);
}

// The level's bits as the percentage would set them.
std::uint8_t LevelFlag(CapacityLevel level) {
    switch (level) {
    case CapacityLevel::Full:
    case CapacityLevel::High: return kBatteryFlagHigh;
    case CapacityLevel::Low: return kBatteryFlagLow;
    case CapacityLevel::Critical: return kBatteryFlagLow | kBatteryFlagCritical;
    default: return 0;
    }
}

bool IsKnownLevel(CapacityLevel level) {
    return level >= CapacityLevel::Critical && level <= CapacityLevel::Full;
}

// Tells sets of battery names apart whatever order the directory lists them in.
std::uint64_t NameHash(std::string_view name) {
    std::uint64_t hash = 14695981039346656037u; // FNV-1a
    for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    return hash;
}

} // namespace

void PowerSupplyTally::Sum::Add(std::optional<std::int64_t> term) {
    if (!valid) return;
    if (!term || __builtin_add_overflow(value, *term, &value)) valid = false;
}

void PowerSupplyTally::Add(const PowerSupply& supply, std::string_view name) {
    if (IsSystemBattery(supply)) AddBattery(supply, name);
    else if (IsMains(supply)) AddMains(supply);
}

void PowerSupplyTally::AddMains(const PowerSupply& supply) {
    ++mainsCount_;
    if (supply.online == 1 || supply.online == 2) mainsOnline_ = true;
}

void PowerSupplyTally::AddBattery(const PowerSupply& battery, std::string_view name) {
    ++batteryCount_;
    batterySet_ += NameHash(name);
    switch (battery.status) {
    case SupplyStatus::Charging: anyCharging_ = true; [[fallthrough]];
    case SupplyStatus::Full:
    case SupplyStatus::NotCharging: anyBatteryPowered_ = true; break;
    case SupplyStatus::Unknown: anyUnknownStatus_ = true; break;
    default: break;
    }
    if (battery.status != SupplyStatus::Discharging) allDischarging_ = false;

    if (IsKnownLevel(battery.capacityLevel)) lowestLevel_ = std::min(lowestLevel_, battery.capacityLevel);
    else everyLevelKnown_ = false;

    if (Positive(battery.timeToEmptyAvg)) kernelTimeToEmpty_ = battery.timeToEmptyAvg;
    else kernelTimeToEmpty_ = Positive(battery.timeToEmptyNow);

    const Number voltage = BatteryVoltage(battery);
    Number rate;
    if (battery.powerNow) rate = Magnitude(*battery.powerNow);
    else if (battery.currentNow && voltage) {
        if (const Number current = Magnitude(*battery.currentNow)) rate = TimesVolts(*current, *voltage);
    }
    rate_.Add(rate);

    const Number capacity =
        battery.capacity ? Number(std::clamp<std::int64_t>(*battery.capacity, 0, 100)) : std::nullopt;
    // Charge counts as energy at the battery's voltage, so either side of a pair may be charge.
    const auto energy = [&voltage](const Number& microWattHours, const Number& microAmpHours) -> Number {
        if (microWattHours) return microWattHours;
        if (microAmpHours && voltage) return TimesVolts(*microAmpHours, *voltage);
        return std::nullopt;
    };
    Number energyFull = energy(Positive(battery.energyFull), Positive(battery.chargeFull));
    Number energyNow = energy(battery.energyNow, battery.chargeNow);
    // A capacity beside a full value weighs as much of the battery as it says.
    if (!energyNow && energyFull && capacity) {
        if (const Number share = Multiply(*capacity, *energyFull)) energyNow = *share / 100;
    }
    if (energyNow && energyFull) energyNow = std::clamp(*energyNow, std::int64_t{0}, *energyFull);
    else energyNow = energyFull = std::nullopt;

    Number chargeNow, chargeFull;
    const bool ownEnergyPair = battery.energyNow && Positive(battery.energyFull);
    if (const Number full = Positive(battery.chargeFull); !ownEnergyPair && full && battery.chargeNow) {
        chargeNow = std::clamp(*battery.chargeNow, std::int64_t{0}, *full);
        chargeFull = full;
    }

    if (!capacity && !energyNow && !chargeNow) {
        ++unreadableCount_;
        return;
    }
    if (capacity) {
        capacity_.Add(capacity);
        ++capacityCount_;
    }
    energyNow_.Add(energyNow);
    energyFull_.Add(energyFull);
    chargeNow_.Add(chargeNow);
    chargeFull_.Add(chargeFull);
}

std::uint8_t PowerSupplyTally::LineStatus() const {
    if (mainsCount_ > 0) return mainsOnline_ ? 1 : 0;
    if (batteryCount_ == 0) return 1; // a desktop
    if (anyBatteryPowered_) return 1;
    return allDischarging_ ? 0 : kUnknownByte;
}

std::optional<std::int64_t> PowerSupplyTally::Rate() const {
    if (batteryCount_ == 0 || !rate_.valid || rate_.value < kLowestRate || rate_.value > kHighestRate)
        return std::nullopt;
    return rate_.value;
}

std::uint8_t PowerSupplyTally::Percent() const {
    if (batteryCount_ == unreadableCount_) return kUnknownByte;
    // Charge alone gives the share when no battery reports energy, voltage or not.
    if (chargeNow_.valid && chargeFull_.valid) {
        if (const Number p = PercentOf(chargeNow_.value, chargeFull_.value)) return static_cast<std::uint8_t>(*p);
    }
    if (energyNow_.valid && energyFull_.valid) {
        if (const Number p = PercentOf(energyNow_.value, energyFull_.value)) return static_cast<std::uint8_t>(*p);
    }
    if (capacityCount_ > 0 && capacity_.valid) return static_cast<std::uint8_t>(capacity_.value / capacityCount_);
    return kUnknownByte;
}

std::uint8_t PowerSupplyTally::Flag(std::uint8_t percent, std::uint8_t line) const {
    if (batteryCount_ == 0) return kBatteryFlagNoBattery;
    if (percent == kUnknownByte) {
        if (!everyLevelKnown_) return kUnknownByte;
        return LevelFlag(lowestLevel_) | (anyCharging_ ? kBatteryFlagCharging : 0);
    }
    std::uint8_t flag = 0;
    if (percent > 66) flag |= kBatteryFlagHigh;
    if (percent < 33) flag |= kBatteryFlagLow;
    if (percent < 5) flag |= kBatteryFlagCritical;
    // Some chargers leave the status Unknown while they top the battery up.
    if (anyCharging_ || (anyUnknownStatus_ && line == 1 && percent < 90)) flag |= kBatteryFlagCharging;
    return flag;
}

void PowerSupplyTally::SetTimes(SYSTEM_POWER_STATUS& status, std::optional<std::int64_t> rate) const {
    status.BatteryLifeTime = kUnknownTime;
    status.BatteryFullLifeTime = kUnknownTime;
    if (status.ACLineStatus != 0) return;
    const bool energyKnown = unreadableCount_ == 0 && energyNow_.valid && energyFull_.valid;
    if (rate) {
        if (!energyKnown) return;
        status.BatteryLifeTime = Seconds(energyNow_.value, *rate);
        status.BatteryFullLifeTime = Seconds(energyFull_.value, *rate);
        return;
    }
    // Without a draw, the kernel's own estimate for a lone battery, and a full charge in proportion.
    if (batteryCount_ != 1 || !kernelTimeToEmpty_) return;
    status.BatteryLifeTime = CappedSeconds(kernelTimeToEmpty_);
    if (status.BatteryLifeTime == kUnknownTime) return;
    std::int64_t now = 0, full = 0;
    if (energyKnown && energyNow_.value > 0) now = energyNow_.value, full = energyFull_.value;
    else if (unreadableCount_ == 0 && chargeNow_.valid && chargeFull_.valid && chargeNow_.value > 0)
        now = chargeNow_.value, full = chargeFull_.value;
    else return;
    const Number scaled = Multiply(status.BatteryLifeTime, full);
    if (scaled) status.BatteryFullLifeTime = CappedSeconds(*scaled / now);
}

SYSTEM_POWER_STATUS PowerSupplyTally::Result(std::optional<std::int64_t> rate) const {
    SYSTEM_POWER_STATUS status{};
    status.ACLineStatus = LineStatus();
    status.BatteryLifePercent = Percent();
    status.BatteryFlag = Flag(status.BatteryLifePercent, status.ACLineStatus);
    status.Reserved1 = 0;
    SetTimes(status, rate);
    return status;
}

} // namespace platform::linux_detail
