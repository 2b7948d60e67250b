// One system battery's details, from what its supply entry gives.
#pragma once

#include <string_view>

#include "platform/linux/power_supply.h"
#include "platform/power_details.h"

namespace platform::linux_detail {

// `battery` is a system battery read with SupplyReading::Details; `name` is its entry.
BatteryDetails BatteryDetailsOf(const PowerSupply& battery, std::string_view name);

} // namespace platform::linux_detail
