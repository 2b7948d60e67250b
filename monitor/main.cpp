// The battery monitor: one window, polled until the close chord or a failed power query.
// Every message of the program, warning or failure, is printed here as one line.
#include <cstdio>
#include <exception>
#include <string>

#include "monitor/art/art.h"
#include "monitor/fNevlin.h"
#include "platform/power_details.h"
#include "platform/process.h"
#include "platform/version.h"

namespace {

void Say(const std::string& message) { std::fprintf(stderr, "nevlin: %s\n", message.c_str()); }

// The window's services on the running system: its window, settings store, power query,
// sleep, art, where warnings go and the alerts' notifier.
NevlinServices PlatformServices(platform::SettingsStore& settings) {
    NevlinServices services;
    services.OpenWindow = [](const platform::WindowDesign& design) { return platform::OpenWindow(design, Say); };
    services.Settings = &settings;
    services.GetSystemPowerStatus = [](platform::SYSTEM_POWER_STATUS* status) {
        return platform::GetSystemPowerStatus(status);
    };
    services.Sleep = [](std::uint32_t milliseconds) { platform::Sleep(milliseconds); };
    services.StopRequested = [] { return platform::StopRequested(); };
    services.ApplicationName = [] { return platform::ApplicationName(); };
    services.ChargingPicture = &art::ChargingPicture();
    services.MainsPicture = &art::MainsPicture();
    services.BatteryPicture = &art::BatteryPicture();
    services.Icons = art::IconImages();
    services.Warn = Say;
    services.OpenNotifier = [] { return platform::OpenNotifier(Say); };
    services.GetPowerDetails = [] { return platform::GetPowerDetails(); };
    return services;
}

constexpr const char* usageLine = "Usage: nevlin [--help | --version]";

constexpr const char* help =
    "Shows the battery charge and the power state in a small window pinned above the others.\n"
    "T pins the window on top or releases it; Alt+F4 saves its place and quits; the left or\n"
    "middle mouse button on the bare panel drags it.\n"
    "\n"
    "  nevlin --help     shows this text\n"
    "  nevlin --version  shows the version\n"
    "\n"
    "The manual: man nevlin\n";

// The window takes no arguments: an unknown one is refused rather than silently ignored.
// Returns the exit status when the arguments end the program, -1 to open the window.
int HandleArguments(const std::string& argumentText) {
    if (argumentText.empty()) return -1;
    if (argumentText == "--help") {
        std::printf("%s\n%s", usageLine, help);
        return 0;
    }
    if (argumentText == "--version") {
        std::puts("nevlin (" OSTRAVEL_PRODUCT_NAME ") " OSTRAVEL_VERSION);
        return 0;
    }
    std::string shown = argumentText;
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 0x20) c = '?'; // the report stays one line
    }
    Say("unknown argument \"" + shown + "\"; " + usageLine);
    return 2;
}

} // namespace

int ProgramMain() {
    if (const int status = HandleArguments(platform::ArgumentText()); status >= 0) return status;
    platform::CatchStopRequests();
    // Whatever fails (the display, the window, the power query, the save at the close)
    // ends the program with status 1; the message says what.
    try {
        const std::unique_ptr<platform::SettingsStore> settings = platform::OpenUserSettings(Say);
        fNevlin form(PlatformServices(*settings));
        return form.Form_Load();
    } catch (const std::exception& error) {
        Say(error.what());
        return 1;
    }
}
