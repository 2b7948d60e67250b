#include "platform/linux/power_supply_tally.h"

#include <algorithm>
#include <limits>

namespace platform::linux_detail {
namespace {

constexpr std::uint8_t kUnknownByte = 255;
constexpr std::uint8_t kNoBattery = 128;
constexpr std::uint8_t kHigh = 1, kLow = 2, kCritical = 4, kCharging = 8;

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

bool IsSystemBattery(const PowerSupply& supply) {
    return supply.type == SupplyType::Battery && supply.scope != SupplyScope::Device && supply.present != 0 &&
           (supply.capacity || supply.energyNow || supply.chargeNow);
}

bool IsMains(const PowerSupply& supply) {
    return supply.type != SupplyType::Battery && supply.scope != SupplyScope::Device && supply.online.has_value();
}

std::int32_t Seconds(const Number& microWattHours, std::int64_t microWatts) {
    if (!microWattHours) return -1;
    const Number scaled = Multiply(*microWattHours, 3600);
    if (!scaled) return -1;
    const std::int64_t seconds = *scaled / microWatts;
    return seconds > kLongestTime ? -1 : static_cast<std::int32_t>(seconds);
}

} // namespace

void PowerSupplyTally::Sum::Add(std::optional<std::int64_t> term) {
    if (!valid) return;
    if (!term || __builtin_add_overflow(value, *term, &value)) valid = false;
}

void PowerSupplyTally::Add(const PowerSupply& supply) {
    if (IsSystemBattery(supply)) AddBattery(supply);
    else if (IsMains(supply)) AddMains(supply);
}

void PowerSupplyTally::AddMains(const PowerSupply& supply) {
    ++mainsCount_;
    if (supply.online == 1 || supply.online == 2) mainsOnline_ = true;
}

void PowerSupplyTally::AddBattery(const PowerSupply& battery) {
    ++batteryCount_;
    switch (battery.status) {
    case SupplyStatus::Charging: anyCharging_ = true; [[fallthrough]];
    case SupplyStatus::Full:
    case SupplyStatus::NotCharging: anyBatteryPowered_ = true; break;
    case SupplyStatus::Unknown: anyUnknownStatus_ = true; break;
    default: break;
    }
    if (battery.status != SupplyStatus::Discharging) allDischarging_ = false;

    if (battery.capacity) {
        capacity_.Add(std::clamp<std::int64_t>(*battery.capacity, 0, 100));
        ++capacityCount_;
    }

    const Number voltage = BatteryVoltage(battery);
    Number energyNow, energyFull, chargeNow, chargeFull;
    if (const Number full = Positive(battery.energyFull); full && battery.energyNow) {
        energyNow = std::clamp(*battery.energyNow, std::int64_t{0}, *full);
        energyFull = full;
    } else if (const Number full = Positive(battery.chargeFull); full && battery.chargeNow) {
        chargeNow = std::clamp(*battery.chargeNow, std::int64_t{0}, *full);
        chargeFull = full;
        if (voltage) {
            energyNow = TimesVolts(*chargeNow, *voltage);
            energyFull = TimesVolts(*chargeFull, *voltage);
        }
    }
    energyNow_.Add(energyNow);
    energyFull_.Add(energyFull);
    chargeNow_.Add(chargeNow);
    chargeFull_.Add(chargeFull);

    Number rate;
    if (battery.powerNow) rate = Magnitude(*battery.powerNow);
    else if (battery.currentNow && voltage) {
        if (const Number current = Magnitude(*battery.currentNow)) rate = TimesVolts(*current, *voltage);
    }
    rate_.Add(rate);
}

std::uint8_t PowerSupplyTally::LinePower() const {
    if (mainsCount_ > 0) return mainsOnline_ ? 1 : 0;
    if (batteryCount_ == 0) return 1; // a desktop
    if (anyBatteryPowered_) return 1;
    return allDischarging_ ? 0 : kUnknownByte;
}

std::uint8_t PowerSupplyTally::Percent() const {
    if (batteryCount_ == 0) return kUnknownByte;
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

SYSTEM_POWER_STATUS PowerSupplyTally::Result() const {
    SYSTEM_POWER_STATUS status{};
    status.ACLineStatus = LinePower();
    status.BatteryLifePercent = Percent();
    status.Reserved1 = 0;
    status.BatteryLifeTime = -1;
    status.BatteryFullLifeTime = -1;

    if (batteryCount_ == 0) {
        status.BatteryFlag = kNoBattery;
        return status;
    }
    const std::uint8_t percent = status.BatteryLifePercent;
    if (percent == kUnknownByte) {
        status.BatteryFlag = kUnknownByte;
    } else {
        std::uint8_t flag = 0;
        if (percent > 66) flag |= kHigh;
        if (percent < 33) flag |= kLow;
        if (percent < 5) flag |= kCritical;
        // Some chargers leave the status Unknown while they top the battery up.
        if (anyCharging_ || (anyUnknownStatus_ && status.ACLineStatus == 1 && percent < 90)) flag |= kCharging;
        status.BatteryFlag = flag;
    }

    const bool rateKnown = rate_.valid && rate_.value >= kLowestRate && rate_.value <= kHighestRate;
    if (status.ACLineStatus == 0 && rateKnown && energyNow_.valid && energyFull_.valid) {
        status.BatteryLifeTime = Seconds(energyNow_.value, rate_.value);
        status.BatteryFullLifeTime = Seconds(energyFull_.value, rate_.value);
    }
    return status;
}

SYSTEM_POWER_STATUS CombinePowerSupplies(std::span<const PowerSupply> supplies) {
    PowerSupplyTally tally;
    for (const PowerSupply& supply : supplies) tally.Add(supply);
    return tally.Result();
}

} // namespace platform::linux_detail
