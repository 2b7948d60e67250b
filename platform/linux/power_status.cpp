// Placeholder until the power-supply reader lands.
#include "platform/power_status.h"

namespace platform {
int GetSystemPowerStatus(SYSTEM_POWER_STATUS*) { return 0; }
} // namespace platform
