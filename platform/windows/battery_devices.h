// The system's batteries as Windows' battery devices report them.
#pragma once

#include <string>
#include <vector>

#include "platform/power_details.h"
#include "platform/windows/win32.h"
#include <winioctl.h>
#include <poclass.h>

namespace platform::windows_detail {

// What one battery device answered: its information (capacities in mWh, or in relative units
// when Capabilities has BATTERY_CAPACITY_RELATIVE), its status (Rate in mW, negative while
// discharging) and its names. A query the device refused leaves the "unknown" codes.
struct BatteryDeviceReading {
    BATTERY_INFORMATION information{};
    BATTERY_STATUS status{};
    std::wstring deviceName;
    std::wstring manufacturer;
};

// Every battery device present, in the system's order; none where the system has none.
std::vector<BatteryDeviceReading> ReadBatteryDevices();

// The `index`th battery (BAT0, BAT1, ...) as details.
BatteryDetails BatteryDetailsOf(const BatteryDeviceReading& reading, int index);

// The draw and, while the record says charging, the time to full, from every battery's own
// figures; left empty unless every battery gives them in mWh and mW.
void AddDeviceTotals(PowerDetails& details, const std::vector<BatteryDeviceReading>& readings);

} // namespace platform::windows_detail
