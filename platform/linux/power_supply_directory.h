// The power status query over one power-supply directory.
#pragma once

#include "platform/power_details.h"
#include "platform/power_status.h"

namespace platform::linux_detail {
class KeptFiles;
class RateAverage;
}

namespace platform::linux_detail {

// Where the kernel lists its power supplies.
inline constexpr const char* kPowerSupplyDirectory = "/sys/class/power_supply";

// Fills *status from every supply under `directory`; leaves *status untouched and says why
// when the directory cannot be opened. With an `average` the times follow the draw averaged
// over the queries; without one, the draw of now. With `kept`, the directory and its
// supplies' uevent files stay open from one query to the next.
Result<Done> ReadPowerStatus(const char* directory, SYSTEM_POWER_STATUS* status, RateAverage* average = nullptr,
                             KeptFiles* kept = nullptr);

// The whole picture from every supply under `directory`: the record as ReadPowerStatus gives
// it, the draw and times at the same rate, and the system's batteries sorted by name. `kept` as
// for ReadPowerStatus; the two may share one.
Result<PowerDetails> ReadPowerDetails(const char* directory, RateAverage* average = nullptr, KeptFiles* kept = nullptr);

} // namespace platform::linux_detail
