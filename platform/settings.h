// The per-user settings store: text values addressed by application, section and key.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/process.h"

namespace platform {

struct SettingValue {
    std::string Key;
    std::string Value;
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The caller's default when the key, the section or the whole store is absent.
    virtual std::string GetSetting(const std::string& application, const std::string& section,
                                   const std::string& key, const std::string& defaultValue) = 0;
    // Throws platform::Error naming the store when the value can't be kept.
    virtual void SaveSetting(const std::string& application, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
    // Saves the keys of one section in the order given. A store that can (the key file) keeps
    // them as one change, so a crash leaves all of them or none; the default saves one by one.
    virtual void SaveSettings(const std::string& application, const std::string& section,
                              const std::vector<SettingValue>& values) {
        for (const SettingValue& value : values) SaveSetting(application, section, value.Key, value.Value);
    }
    // Where the values of an application live, for messages (a file, a registry key).
    virtual std::string Location(const std::string& application) const = 0;
};

// The user's store. Problems it reads past (a file it can't read, and gives the defaults
// for) go to `warn`.
std::unique_ptr<SettingsStore> OpenUserSettings(WarningHandler warn = {});

// The product name of the program's version information, else the executable's name
// without its extension.
std::string ApplicationName();

} // namespace platform
