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
    if (Number v = Positive(battery.voltageAvg)) return v;
    if (Number v = Positive(battery.voltageMinDesign)) return v;
    return Positive(battery.voltageMaxDesign);
}

// The value of now, else its average; a discharging battery's 0 that its capacity belies is unread.
Number LevelNow(const PowerSupply& battery, const Number& now, const Number& average) {
    const Number level = now ? now : average;
    const bool unread = level == 0 && battery.status == SupplyStatus::Discharging && Positive(battery.capacity);
    return unread ? std::nullopt : level;
}

// Power, else current at the voltage; their averages only where neither is given.
Number Draw(const PowerSupply& battery, const Number& voltage) {
    const auto draw = [&voltage](const Number& power, const Number& current) -> Number {
        if (power) return Magnitude(*power);
        const Number magnitude = current ? Magnitude(*current) : std::nullopt;
        return magnitude && voltage ? TimesVolts(*magnitude, *voltage) : std::nullopt;
    };
    if (battery.powerNow || battery.currentNow) return draw(battery.powerNow, battery.currentNow);
    return draw(battery.powerAvg, battery.currentAvg);
}

// 100 × now / full, rounded down, from now in hundredths; now is never above full here.
Number PercentOf(std::int64_t nowHundredths, std::int64_t full) {
    if (full <= 0) return std::nullopt;
    return std::clamp<std::int64_t>(nowHundredths / full, 0, 100);
}

bool HasBatteryStatus(const PowerSupply& supply) {
    switch (supply.status) {
    case SupplyStatus::Charging:
    case SupplyStatus::Discharging:
    case SupplyStatus::NotCharging:
    case SupplyStatus::Full: return true;
    default: return false;
    }
}

bool IsMains(const PowerSupply& supply) {
    return supply.type != SupplyType::Battery && supply.scope != SupplyScope::Device && supply.online.has_value();
}

// Whole seconds capped at seven days; -1 when unknown or longer.
std::int32_t CappedSeconds(const Number& seconds) {
    if (!seconds || *seconds < 0 || *seconds > kLongestTime) return kUnknownTime;
    return static_cast<std::int32_t>(*seconds);
}

// Energy in µWh / `parts` over µW.
std::int32_t Seconds(std::int64_t energy, std::int64_t parts, std::int64_t microWatts) {
    const Number scaled = Multiply(energy, 3600 / parts);
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

Number EnergyNow(const PowerSupply& battery) { return LevelNow(battery, battery.energyNow, battery.energyAvg); }
Number ChargeNow(const PowerSupply& battery) { return LevelNow(battery, battery.chargeNow, battery.chargeAvg); }
bool HasEnergyPair(const PowerSupply& battery) { return EnergyNow(battery) && Positive(battery.energyFull); }
bool HasChargePair(const PowerSupply& battery) { return ChargeNow(battery) && Positive(battery.chargeFull); }

bool IsSystemBattery(const PowerSupply& supply) {
    if (supply.scope == SupplyScope::Device || supply.present == 0) return false;
    if (supply.type == SupplyType::Battery) return true;
    const bool hasLevel = supply.capacity || EnergyNow(supply) || ChargeNow(supply) ||
                          IsKnownLevel(supply.capacityLevel);
    return supply.type == SupplyType::Unknown && HasBatteryStatus(supply) && hasLevel;
}

BatteryValues ValuesOf(const PowerSupply& battery) {
    BatteryValues values;
    values.voltage = BatteryVoltage(battery);
    values.rate = Draw(battery, values.voltage);
    if (battery.capacity) values.capacity = std::clamp<std::int64_t>(*battery.capacity, 0, 100);
    // Charge counts as energy at the battery's voltage, so either side of a pair may be charge.
    const auto energy = [&values](const Number& microWattHours, const Number& microAmpHours) -> Number {
        if (microWattHours) return microWattHours;
        if (microAmpHours && values.voltage) return TimesVolts(*microAmpHours, *values.voltage);
        return std::nullopt;
    };
    const Number energyNow = EnergyNow(battery);
    const Number energyFull = Positive(battery.energyFull);
    values.energyNow = energy(energyNow, ChargeNow(battery));
    values.energyFull = energy(energyFull, Positive(battery.chargeFull));
    values.crossesUnits = values.energyNow && values.energyFull && energyNow.has_value() != energyFull.has_value();
    if (!HasEnergyPair(battery) && HasChargePair(battery)) {
        values.chargeFull = Positive(battery.chargeFull);
        values.chargeNow = std::clamp(*ChargeNow(battery), std::int64_t{0}, *values.chargeFull);
    }
    values.energyFullDesign = energy(Positive(battery.energyFullDesign), Positive(battery.chargeFullDesign));
    values.timeToEmpty = Positive(battery.timeToEmptyAvg) ? battery.timeToEmptyAvg : Positive(battery.timeToEmptyNow);
    values.timeToFull = Positive(battery.timeToFullAvg) ? battery.timeToFullAvg : Positive(battery.timeToFullNow);
    return values;
}

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
    const bool online = supply.online == 1 || supply.online == 2;
    if (supply.type == SupplyType::Usb) usbOnline_ = usbOnline_ || online;
    else mainsOnline_ = mainsOnline_ || online;
    if (supply.type == SupplyType::Mains && !online) mainsTypeOffline_ = true;
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

    const BatteryValues values = ValuesOf(battery);
    kernelTimeToEmpty_ = values.timeToEmpty;
    kernelTimeToFull_ = values.timeToFull;
    rate_.Add(values.rate);

    Number energyNow, energyFull = values.energyFull;
    if (energyFull) {
        // A capacity weighs as much of the battery as it says; it also beats a level that can
        // only be had by crossing units through a voltage.
        if (values.energyNow && !(values.crossesUnits && values.capacity)) energyNow = Multiply(*values.energyNow, 100);
        else if (values.capacity) energyNow = Multiply(*values.capacity, *energyFull);
    }
    const Number fullHundredths = energyFull ? Multiply(*energyFull, 100) : std::nullopt;
    if (energyNow && fullHundredths) energyNow = std::clamp(*energyNow, std::int64_t{0}, *fullHundredths);
    else energyNow = energyFull = std::nullopt;

    if (!values.capacity && !energyNow && !values.chargeNow) {
        ++unreadableCount_;
        return;
    }
    if (values.capacity) {
        capacity_.Add(values.capacity);
        ++capacityCount_;
    }
    energyNowHundredths_.Add(energyNow);
    energyFull_.Add(energyFull);
    chargeNow_.Add(values.chargeNow);
    chargeFull_.Add(values.chargeFull);
}

std::uint8_t PowerSupplyTally::LineStatus() const {
    if (mainsCount_ > 0) {
        if (mainsOnline_) return 1;
        // A USB port can keep a stale "online" after its charger is gone: it does not outvote
        // an offline Mains supply while every battery discharges.
        const bool staleUsb = mainsTypeOffline_ && batteryCount_ > 0 && allDischarging_;
        return usbOnline_ && !staleUsb ? 1 : 0;
    }
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
        const Number scaled = Multiply(chargeNow_.value, 100);
        if (const Number p = scaled ? PercentOf(*scaled, chargeFull_.value) : std::nullopt)
            return static_cast<std::uint8_t>(*p);
    }
    if (energyNowHundredths_.valid && energyFull_.valid) {
        if (const Number p = PercentOf(energyNowHundredths_.value, energyFull_.value))
            return static_cast<std::uint8_t>(*p);
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

bool PowerSupplyTally::EnergyKnown() const {
    return unreadableCount_ == 0 && energyNowHundredths_.valid && energyFull_.valid;
}

void PowerSupplyTally::SetTimes(SYSTEM_POWER_STATUS& status, std::optional<std::int64_t> rate) const {
    status.BatteryLifeTime = kUnknownTime;
    status.BatteryFullLifeTime = kUnknownTime;
    if (status.ACLineStatus != 0) return;
    if (rate) {
        if (!EnergyKnown()) return;
        status.BatteryLifeTime = Seconds(energyNowHundredths_.value, 100, *rate);
        status.BatteryFullLifeTime = Seconds(energyFull_.value, 1, *rate);
        return;
    }
    // Without a draw, the kernel's own estimate for a lone battery, and a full charge in proportion.
    if (batteryCount_ != 1 || !kernelTimeToEmpty_) return;
    status.BatteryLifeTime = CappedSeconds(kernelTimeToEmpty_);
    if (status.BatteryLifeTime == kUnknownTime) return;
    Number scaled;
    if (EnergyKnown() && energyNowHundredths_.value > 0) {
        if (const Number full = Multiply(status.BatteryLifeTime, energyFull_.value))
            scaled = Multiply(*full, 100);
        if (scaled) *scaled /= energyNowHundredths_.value;
    } else if (unreadableCount_ == 0 && chargeNow_.valid && chargeFull_.valid && chargeNow_.value > 0) {
        scaled = Multiply(status.BatteryLifeTime, chargeFull_.value);
        if (scaled) *scaled /= chargeNow_.value;
    }
    if (scaled) status.BatteryFullLifeTime = CappedSeconds(scaled);
}

std::optional<std::int32_t> PowerSupplyTally::SecondsToFull(const SYSTEM_POWER_STATUS& record,
                                                            std::optional<std::int64_t> rate) const {
    const bool charging = record.ACLineStatus == 1 && record.BatteryFlag != kUnknownByte &&
                          (record.BatteryFlag & kBatteryFlagCharging) != 0;
    if (!charging) return std::nullopt;
    std::int32_t seconds = kUnknownTime;
    const Number fullHundredths = Multiply(energyFull_.value, 100);
    if (rate && EnergyKnown() && fullHundredths) {
        seconds = Seconds(*fullHundredths - energyNowHundredths_.value, 100, *rate);
    } else if (batteryCount_ == 1) {
        seconds = CappedSeconds(kernelTimeToFull_);
    }
    if (seconds == kUnknownTime) return std::nullopt;
    return seconds;
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
