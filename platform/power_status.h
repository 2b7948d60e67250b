// The power status query both programs poll.
#pragma once

#include <cstdint>

#include "platform/process.h"

namespace platform {

// The "unknown" of the byte fields, and of the times.
constexpr std::uint8_t kUnknownByte = 255;
constexpr std::int32_t kUnknownTime = -1;

// BatteryFlag: the level bits combine with the charging bit (8 | 2 | 4 below 5 % on charge).
constexpr std::uint8_t kBatteryFlagHigh = 1;
constexpr std::uint8_t kBatteryFlagLow = 2;
constexpr std::uint8_t kBatteryFlagCritical = 4;
constexpr std::uint8_t kBatteryFlagCharging = 8;
constexpr std::uint8_t kBatteryFlagNoBattery = 128;

// Field order, widths and signedness follow the operating system's own record.
struct SYSTEM_POWER_STATUS {
    std::uint8_t ACLineStatus;       // 0 off mains, 1 on mains, kUnknownByte
    std::uint8_t BatteryFlag;        // kBatteryFlag* bits; kBatteryFlagNoBattery; kUnknownByte
    std::uint8_t BatteryLifePercent; // 0..100, kUnknownByte
    std::uint8_t Reserved1;          // 0
    std::int32_t BatteryLifeTime;    // seconds left, kUnknownTime
    std::int32_t BatteryFullLifeTime;// seconds of a full charge, kUnknownTime
};

// Fills *status; on failure leaves *status as it was, so it keeps the last good reading, and
// the Result carries the system's reason.
Result<Done> GetSystemPowerStatus(SYSTEM_POWER_STATUS* status);

} // namespace platform
