#include "platform/power_status.h"

#include <cstdlib>

#include "platform/linux/power_rate_average.h"
#include "platform/linux/power_supply_directory.h"
#include "platform/linux/power_supply_reader.h"
#include "platform/power_details.h"

namespace platform {
namespace {

// Looked up at every call, so a test or demo can point it elsewhere at any time.
const char* PowerSupplyDirectory() {
    const char* directory = std::getenv("OSTRAVEL_POWER_SUPPLY_DIR");
    return directory == nullptr || *directory == '\0' ? linux_detail::kPowerSupplyDirectory : directory;
}

// The draw is averaged over this process's queries, the details' among them, so the times of
// both follow one average; every query still reads the supplies anew, through their files kept
// open.
linux_detail::RateAverage& ProcessAverage() {
    static const linux_detail::SystemBootClock clock;
    static linux_detail::RateAverage average(clock);
    return average;
}

linux_detail::KeptFiles& ProcessKeptFiles() {
    static linux_detail::KeptFiles kept;
    return kept;
}

} // namespace

Result<Done> GetSystemPowerStatus(SYSTEM_POWER_STATUS* status) {
    return linux_detail::ReadPowerStatus(PowerSupplyDirectory(), status, &ProcessAverage(), &ProcessKeptFiles());
}

Result<PowerDetails> GetPowerDetails() {
    return linux_detail::ReadPowerDetails(PowerSupplyDirectory(), &ProcessAverage(), &ProcessKeptFiles());
}

} // namespace platform
