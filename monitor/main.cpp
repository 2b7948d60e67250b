// The battery monitor: one window, polled until the close chord or a failed power query.
#include <exception>
#include <iostream>

#include "monitor/art/art.h"
#include "monitor/fNevlin.h"
#include "platform/process.h"

namespace {

// The window's services on the running system: its window, settings store, power query,
// sleep, art and stderr.
NevlinServices PlatformServices(platform::SettingsStore& settings) {
    NevlinServices services;
    services.OpenWindow = [](const platform::WindowDesign& design) { return platform::OpenWindow(design); };
    services.Settings = &settings;
    services.GetSystemPowerStatus = [](platform::SYSTEM_POWER_STATUS* status, std::string* failure) {
        return platform::GetSystemPowerStatus(status, failure);
    };
    services.Sleep = [](std::uint32_t milliseconds) { platform::Sleep(milliseconds); };
    services.StopRequested = [] { return platform::StopRequested(); };
    services.ApplicationName = [] { return platform::ApplicationName(); };
    services.ChargingPicture = &art::ChargingPicture();
    services.MainsPicture = &art::MainsPicture();
    services.BatteryPicture = &art::BatteryPicture();
    services.Icons = art::IconImages();
    services.Errors = &std::cerr;
    return services;
}

} // namespace

int ProgramMain() {
    platform::CatchStopRequests();
    try {
        const std::unique_ptr<platform::SettingsStore> settings = platform::OpenUserSettings();
        fNevlin form(PlatformServices(*settings));
        return form.Form_Load();
    } catch (const std::exception& error) {
        std::cerr << "nevlin: " << error.what() << '\n';
        return 1;
    }
}
