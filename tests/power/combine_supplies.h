// The record a set of supplies gives, without a directory to read them from.
#pragma once

#include <span>

#include "platform/linux/power_supply_tally.h"

namespace platform::linux_detail {

inline SYSTEM_POWER_STATUS CombinePowerSupplies(std::span<const PowerSupply> supplies) {
    PowerSupplyTally tally;
    for (const PowerSupply& supply : supplies) tally.Add(supply);
    return tally.Result();
}

} // namespace platform::linux_detail
