#include "platform/power_status.h"

#include <cstdlib>

#include "platform/linux/power_supply_directory.h"

namespace platform {

int GetSystemPowerStatus(SYSTEM_POWER_STATUS* status) {
    // Looked up at every call, so a test or demo can point it elsewhere at any time.
    const char* directory = std::getenv("OSTRAVEL_POWER_SUPPLY_DIR");
    if (directory == nullptr || *directory == '\0') directory = linux_detail::kPowerSupplyDirectory;
    return linux_detail::ReadPowerStatus(directory, status);
}

} // namespace platform
