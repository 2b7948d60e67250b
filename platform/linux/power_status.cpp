#include "platform/power_status.h"

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "platform/linux/power_rate_average.h"
#include "platform/linux/power_supply_directory.h"
#include "platform/linux/power_supply_reader.h"

namespace platform {

int GetSystemPowerStatus(SYSTEM_POWER_STATUS* status, std::string* failure) {
    // Looked up at every call, so a test or demo can point it elsewhere at any time.
    const char* directory = std::getenv("OSTRAVEL_POWER_SUPPLY_DIR");
    if (directory == nullptr || *directory == '\0') directory = linux_detail::kPowerSupplyDirectory;
    // The draw is averaged over this process's queries; every query still reads the supplies
    // anew, through their files kept open.
    static const linux_detail::SystemBootClock clock;
    static linux_detail::RateAverage average(clock);
    static linux_detail::KeptFiles kept;
    errno = 0;
    if (linux_detail::ReadPowerStatus(directory, status, &average, &kept) != 0) return 1;
    if (failure) *failure = errno == 0 ? std::string() : std::generic_category().message(errno);
    return 0;
}

} // namespace platform
