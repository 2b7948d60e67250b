// The power status query both programs poll.
#pragma once

#include <cstdint>

namespace platform {

// Field order, widths and signedness follow the operating system's own record.
struct SYSTEM_POWER_STATUS {
    std::uint8_t ACLineStatus;       // 0 off mains, 1 on mains, 255 unknown
    std::uint8_t BatteryFlag;        // bits: 1 high, 2 low, 4 critical, 8 charging; 128 no battery; 255 unknown
    std::uint8_t BatteryLifePercent; // 0..100, 255 unknown
    std::uint8_t Reserved1;          // 0
    std::int32_t BatteryLifeTime;    // seconds left, -1 unknown
    std::int32_t BatteryFullLifeTime;// seconds of a full charge, -1 unknown
};

// Fills *status and returns nonzero; on failure returns 0 and leaves *status as it was.
int GetSystemPowerStatus(SYSTEM_POWER_STATUS* status);

} // namespace platform
