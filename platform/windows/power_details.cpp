#include "platform/power_details.h"

#include "platform/windows/battery_devices.h"

namespace platform {

// The record is the system's own; the batteries and the totals come from the battery devices,
// which Wine, for one, does not have: then the details hold the record alone.
Result<PowerDetails> GetPowerDetails() {
    SYSTEM_POWER_STATUS record{};
    if (const Result<Done> read = GetSystemPowerStatus(&record); !read)
        return Result<PowerDetails>::Failed(read.Reason());
    PowerDetails details = DetailsOfRecord(record);
    const std::vector<windows_detail::BatteryDeviceReading> readings = windows_detail::ReadBatteryDevices();
    for (std::size_t i = 0; i < readings.size(); ++i)
        details.batteries.push_back(windows_detail::BatteryDetailsOf(readings[i], static_cast<int>(i)));
    windows_detail::AddDeviceTotals(details, readings);
    return details;
}

} // namespace platform
