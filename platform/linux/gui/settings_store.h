// The Linux settings store: one GLib key file per application under the user's
// configuration folder, the section as the group and the key as the key.
#pragma once

#include <iostream>
#include <set>
#include <string>

#include "platform/settings.h"

namespace platform::linux_detail {

class KeyFileSettings : public SettingsStore {
public:
    // configRoot holds one folder per application; warnings about unreadable files go to `warnings`.
    explicit KeyFileSettings(std::string configRoot, std::ostream& warnings = std::cerr);

    std::string GetSetting(const std::string& application, const std::string& section,
                           const std::string& key, const std::string& defaultValue) override;
    void SaveSetting(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& value) override;
    std::string Location(const std::string& application) const override;

private:
    void WarnOnce(const std::string& file, const std::string& reason);

    std::string root_;
    std::ostream& warnings_;
    std::set<std::string> warned_; // files already reported, so a bad file costs one line
};

// The configuration folder: XDG_CONFIG_HOME when it is an absolute path, else HOME/.config,
// else `fallback` (the system's idea of the user's configuration folder). Null means unset.
std::string ConfigRootFrom(const char* xdgConfigHome, const char* home, const std::string& fallback);

// The product name when it is not empty, else the executable's file name up to its last ".".
std::string ApplicationNameFrom(const std::string& productName, const std::string& executablePath);

} // namespace platform::linux_detail
