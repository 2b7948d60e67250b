#include "platform/power_status.h"

#include "platform/windows/system_message.h"
#include "platform/windows/win32.h"

namespace platform {

Result<Done> GetSystemPowerStatus(SYSTEM_POWER_STATUS* status) {
    ::SYSTEM_POWER_STATUS system{};
    if (!::GetSystemPowerStatus(&system)) {
        const DWORD error = ::GetLastError();
        return Result<Done>::Failed(error == 0 ? std::string() : windows_detail::SystemMessage(error));
    }
    status->ACLineStatus = system.ACLineStatus;
    status->BatteryFlag = system.BatteryFlag;
    status->BatteryLifePercent = system.BatteryLifePercent;
    status->Reserved1 = system.Reserved1;
    // The system's DWORD times use all bits set for "unknown", which reads as -1 here.
    status->BatteryLifeTime = static_cast<std::int32_t>(system.BatteryLifeTime);
    status->BatteryFullLifeTime = static_cast<std::int32_t>(system.BatteryFullLifeTime);
    return Done{};
}

} // namespace platform
