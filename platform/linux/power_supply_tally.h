// Folds the supplies of one query into the power status record.
#pragma once

#include <cstdint>
#include <span>

#include "platform/linux/power_supply.h"
#include "platform/power_status.h"

namespace platform::linux_detail {

// Supplies are added one by one, so a query needs no list of them however many there are.
class PowerSupplyTally {
public:
    void Add(const PowerSupply& supply);
    SYSTEM_POWER_STATUS Result() const;

private:
    struct Sum {
        std::int64_t value = 0;
        bool valid = true; // false once a term was unknown or the sum overflowed
        void Add(std::optional<std::int64_t> term);
    };

    void AddMains(const PowerSupply& supply);
    void AddBattery(const PowerSupply& supply);
    std::uint8_t LinePower() const;
    std::uint8_t Percent() const;

    int mainsCount_ = 0;
    bool mainsOnline_ = false;

    int batteryCount_ = 0;
    bool anyBatteryPowered_ = false; // Charging, Full or Not charging
    bool allDischarging_ = true;
    bool anyCharging_ = false;
    bool anyUnknownStatus_ = false;

    Sum energyNow_, energyFull_;  // µWh, energy files or charge times voltage
    Sum chargeNow_, chargeFull_;  // µAh, valid only while every battery is charge-based
    Sum capacity_;
    int capacityCount_ = 0;
    Sum rate_;                    // µW
};

SYSTEM_POWER_STATUS CombinePowerSupplies(std::span<const PowerSupply> supplies);

} // namespace platform::linux_detail
