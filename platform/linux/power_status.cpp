#include "platform/power_status.h"

#include <cstdlib>

#include "platform/linux/power_rate_average.h"
#include "platform/linux/power_supply_directory.h"
#include "platform/linux/power_supply_reader.h"

namespace platform {

Result<Done> GetSystemPowerStatus(SYSTEM_POWER_STATUS* status) {
    // Looked up at every call, so a test or demo can point it elsewhere at any time.
    const char* directory = std::getenv("OSTRAVEL_POWER_SUPPLY_DIR");
    if (directory == nullptr || *directory == '\0') directory = linux_detail::kPowerSupplyDirectory;
    // The draw is averaged over this process's queries; every query still reads the supplies
    // anew, through their files kept open.
    static const linux_detail::SystemBootClock clock;
    static linux_detail::RateAverage average(clock);
    static linux_detail::KeptFiles kept;
    return linux_detail::ReadPowerStatus(directory, status, &average, &kept);
}

} // namespace platform
