// The user's own settings store and the application name it is addressed by.
#include <glib.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/linux/gui/settings_store.h"

namespace platform::linux_detail {

std::string ConfigRootFrom(const char* xdgConfigHome, const char* home, const std::string& fallback) {
    // A relative XDG_CONFIG_HOME would depend on the working folder: it is ignored.
    if (xdgConfigHome && xdgConfigHome[0] == '/') return xdgConfigHome;
    if (home && home[0] != '\0') return std::string(home) + "/.config";
    return fallback;
}

std::string ApplicationNameFrom(const std::string& productName, const std::string& executablePath) {
    if (!productName.empty()) return productName;
    std::string name = executablePath.substr(executablePath.find_last_of('/') + 1);
    const std::string deleted = " (deleted)"; // how the kernel names a replaced executable
    if (name.size() > deleted.size() && name.ends_with(deleted)) name.resize(name.size() - deleted.size());
    const auto dot = name.find_last_of('.');
    // ".name" has no extension to drop.
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

} // namespace platform::linux_detail

namespace platform {

std::unique_ptr<SettingsStore> OpenUserSettings() {
    return std::make_unique<linux_detail::KeyFileSettings>(linux_detail::ConfigRootFrom(
        std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), g_get_user_config_dir()));
}

std::string ApplicationName() {
    std::error_code failure;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", failure);
    return linux_detail::ApplicationNameFrom(OSTRAVEL_PRODUCT_NAME, failure ? std::string() : executable.string());
}

} // namespace platform
