// Folds the supplies of one query into the power status record.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/linux/power_supply.h"
#include "platform/power_status.h"

namespace platform::linux_detail {

using Number = std::optional<std::int64_t>;

// Present batteries of the system count whether or not their level can be read: type Battery,
// or type Unknown with a battery's status and a level (old power-management drivers).
bool IsSystemBattery(const PowerSupply& supply);

// Energy and charge of now, or their averages where the kernel gives no value of now; a
// discharging battery's 0 beside a capacity above 0 is a register the gauge could not read.
Number EnergyNow(const PowerSupply& battery);
Number ChargeNow(const PowerSupply& battery);
// Whether the battery gives both halves of a level in one unit; the other unit then adds nothing.
bool HasEnergyPair(const PowerSupply& battery);
bool HasChargePair(const PowerSupply& battery);

// One battery's own values in µV, µW, percent, µWh, µAh and seconds; empty where it does not say.
struct BatteryValues {
    Number voltage;     // the first usable of now, average, design minimum, design maximum
    Number rate;        // its draw, into or out of it
    Number capacity;    // its own percentage, clamped to 0..100
    Number energyNow;   // energy, or charge at the voltage
    Number energyFull;
    bool crossesUnits = false; // now and full are in different units, met through the voltage
    Number chargeNow;   // its own charge pair, when it gives no energy pair
    Number chargeFull;
    Number energyFullDesign;
    Number timeToEmpty; // the kernel's estimates
    Number timeToFull;
};
BatteryValues ValuesOf(const PowerSupply& battery);

// Supplies are added one by one, so a query needs no list of them however many there are.
class PowerSupplyTally {
public:
    // `name` is the supply's entry in the directory; it tells one set of batteries from another.
    void Add(const PowerSupply& supply, std::string_view name = {});

    // What the averaging of the draw needs to know about this reading.
    std::uint8_t LineStatus() const;
    std::uint64_t BatterySet() const { return batterySet_; }
    // The batteries' draw now in µW; empty unless every battery gives a believable one.
    std::optional<std::int64_t> Rate() const;

    // The record, its times worked out at `rate` µW: Rate() itself or an average of it.
    SYSTEM_POWER_STATUS Result(std::optional<std::int64_t> rate) const;
    SYSTEM_POWER_STATUS Result() const { return Result(Rate()); }

    // While the record says charging: the energy missing at `rate` µW, else the kernel's
    // estimate for a lone battery; seconds, within seven days. Empty otherwise.
    std::optional<std::int32_t> SecondsToFull(const SYSTEM_POWER_STATUS& record, std::optional<std::int64_t> rate) const;

private:
    struct Sum {
        std::int64_t value = 0;
        bool valid = true; // false once a term was unknown or the sum overflowed
        void Add(std::optional<std::int64_t> term);
    };

    void AddMains(const PowerSupply& supply);
    void AddBattery(const PowerSupply& supply, std::string_view name);
    std::uint8_t Percent() const;
    std::uint8_t Flag(std::uint8_t percent, std::uint8_t line) const;
    void SetTimes(SYSTEM_POWER_STATUS& status, std::optional<std::int64_t> rate) const;
    bool EnergyKnown() const;

    int mainsCount_ = 0;
    bool mainsOnline_ = false;     // an online supply other than a USB port
    bool usbOnline_ = false;
    bool mainsTypeOffline_ = false; // a supply of type Mains says offline

    int batteryCount_ = 0;
    std::uint64_t batterySet_ = 0;
    bool anyBatteryPowered_ = false; // Charging, Full or Not charging
    bool allDischarging_ = true;
    bool anyCharging_ = false;
    bool anyUnknownStatus_ = false;

    // Only batteries whose level can be read enter the sums; the others make the times unknown.
    int unreadableCount_ = 0;
    // µWh × 100, so that a share given as a capacity stays exact: energy files, charge times
    // voltage, or capacity times full.
    Sum energyNowHundredths_;
    Sum energyFull_;              // µWh
    Sum chargeNow_, chargeFull_;  // µAh, valid only while every battery is charge-based
    Sum capacity_;
    int capacityCount_ = 0;
    Sum rate_;                    // µW

    // The coarse level, for when no percentage can be worked out.
    bool everyLevelKnown_ = true;
    CapacityLevel lowestLevel_ = CapacityLevel::Full;

    // s, of the last battery added
    std::optional<std::int64_t> kernelTimeToEmpty_;
    std::optional<std::int64_t> kernelTimeToFull_;
};

} // namespace platform::linux_detail
