// Where the per-user settings of an application live in the registry, below HKEY_CURRENT_USER:
// the branch the system's own get-setting and save-setting services use.
#pragma once

#include <string>

namespace platform::windows_detail {

std::string SettingsKeyPath(const std::string& application);
std::string SettingsKeyPath(const std::string& application, const std::string& section);

} // namespace platform::windows_detail
