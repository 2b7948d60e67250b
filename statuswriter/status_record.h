// The status record: five decimal fields, each followed by "#", no line end.
#pragma once

#include <string>

#include "platform/power_status.h"

namespace Battery {

// AC status (or "-1" when the query failed), full-charge time, remaining time, flag, percent.
// The other four fields come from the snapshot as it is, whether the query answered or not.
std::string BuildStatusRecord(const platform::SYSTEM_POWER_STATUS& status, bool queryAnswered);

} // namespace Battery
