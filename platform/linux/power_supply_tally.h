// Folds the supplies of one query into the power status record.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/linux/power_supply.h"
#include "platform/power_status.h"

namespace platform::linux_detail {

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

    int mainsCount_ = 0;
    bool mainsOnline_ = false;

    int batteryCount_ = 0;
    std::uint64_t batterySet_ = 0;
    bool anyBatteryPowered_ = false; // Charging, Full or Not charging
    bool allDischarging_ = true;
    bool anyCharging_ = false;
    bool anyUnknownStatus_ = false;

    // Only batteries whose level can be read enter the sums; the others make the times unknown.
    int unreadableCount_ = 0;
    Sum energyNow_, energyFull_;  // µWh: energy files, charge times voltage, or capacity times full
    Sum chargeNow_, chargeFull_;  // µAh, valid only while every battery is charge-based
    Sum capacity_;
    int capacityCount_ = 0;
    Sum rate_;                    // µW

    // The coarse level, for when no percentage can be worked out.
    bool everyLevelKnown_ = true;
    CapacityLevel lowestLevel_ = CapacityLevel::Full;

    std::optional<std::int64_t> kernelTimeToEmpty_; // s, of the last battery added
};

} // namespace platform::linux_detail
