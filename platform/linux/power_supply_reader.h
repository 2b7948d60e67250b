// Reads one entry of a power-supply directory with as few file opens as it can.
#pragma once

#include <cstdint>

#include "platform/linux/power_supply.h"

namespace platform::linux_detail {

// What a reading needs: the record's properties, or also those only the details use.
enum class SupplyReading : std::uint8_t { Record, Details };

// `listing` is an open descriptor of the power-supply directory, `name` one of
// its entries. A supply that cannot be read at all comes back with nothing known.
PowerSupply ReadPowerSupply(int listing, const char* name, SupplyReading reading = SupplyReading::Record);

} // namespace platform::linux_detail
