// The battery monitor: one window, polled until the close chord or a failed power query.
#include <exception>
#include <iostream>

#include "monitor/fNevlin.h"
#include "platform/process.h"

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
