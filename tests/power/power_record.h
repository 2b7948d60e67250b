// Compares power status records field by field, with readable failures.
#pragma once

#include <cstdint>
#include <ostream>

#include "platform/power_status.h"

namespace platform {

inline bool operator==(const SYSTEM_POWER_STATUS& a, const SYSTEM_POWER_STATUS& b) {
    return a.ACLineStatus == b.ACLineStatus && a.BatteryFlag == b.BatteryFlag &&
           a.BatteryLifePercent == b.BatteryLifePercent && a.Reserved1 == b.Reserved1 &&
           a.BatteryLifeTime == b.BatteryLifeTime && a.BatteryFullLifeTime == b.BatteryFullLifeTime;
}

inline void PrintTo(const SYSTEM_POWER_STATUS& s, std::ostream* out) {
    *out << "{line " << int{s.ACLineStatus} << ", flag " << int{s.BatteryFlag} << ", percent "
         << int{s.BatteryLifePercent} << ", reserved " << int{s.Reserved1} << ", left " << s.BatteryLifeTime
         << " s, full " << s.BatteryFullLifeTime << " s}";
}

// Line status, flag, percent, seconds left, seconds of a full charge.
inline SYSTEM_POWER_STATUS Record(int line, int flag, int percent, std::int32_t left, std::int32_t full) {
    return {static_cast<std::uint8_t>(line), static_cast<std::uint8_t>(flag), static_cast<std::uint8_t>(percent), 0,
            left, full};
}

} // namespace platform
