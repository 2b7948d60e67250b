#include "platform/power_status.h"

#include <cstdlib>

#include "platform/linux/power_rate_average.h"
#include "platform/linux/power_supply_directory.h"

namespace platform {

Result<Done> GetSystemPowerStatus(SYSTEM_POWER_STATUS* status) {
    // Looked up at every call, so a test or demo can point it elsewhere at any time.
    const char* directory = std::getenv("OSTRAVEL_POWER_SUPPLY_DIR");
    if (directory == nullptr || *directory == '\0') directory = linux_detail::kPowerSupplyDirectory;
    // The draw is averaged over this process's queries; every query still reads the supplies anew.
    static const linux_detail::SystemBootClock clock;
    static linux_detail::RateAverage average(clock);
    return linux_detail::ReadPowerStatus(directory, status, &average);
}

} // namespace platform
