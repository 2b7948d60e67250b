// The Linux settings store: one GLib key file per application under the user's
// configuration folder, the section as the group and the key as the key.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/settings.h"

namespace platform::x11 {

// The steps of a save, in order. The file is replaced once, at Renamed: before it the old
// file is untouched, after it the new one is whole. A settings file that is a symbolic link
// stays one: the file it leads to is the one replaced, from a new file in that file's folder.
enum class SaveStep { BrokenFileKept, FolderMade, TempCreated, Written, Synced, Closed, Renamed, FolderSynced };

// The new file of a save is named "settings.conf" + kTemporaryInfix + six letters or digits.
// One that a killed save left behind is removed by the next save.
inline constexpr const char* kTemporaryInfix = ".new-";

// Broken files kept beside the settings: settings.conf.bad (newest) to settings.conf.bad.4.
inline constexpr int kBrokenCopies = 5;

class KeyFileSettings : public SettingsStore {
public:
    // configRoot holds one folder per application; warnings about unreadable files go to `warn`.
    explicit KeyFileSettings(std::string configRoot, WarningHandler warn = {});

    std::string GetSetting(const std::string& application, const std::string& section,
                           const std::string& key, const std::string& defaultValue) override;
    void SaveSetting(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& value) override;
    // One write, flush and rename of the file for all the values.
    void SaveSettings(const std::string& application, const std::string& section,
                      const std::vector<SettingValue>& values) override;
    std::string Location(const std::string& application) const override;

    // Called after each step of a save, so tests can stop the program there.
    void OnSaveStep(std::function<void(SaveStep)> hook) { stepHook_ = std::move(hook); }

private:
    void Warn(const std::string& message) const {
        if (warn_) warn_(message);
    }
    void WarnOnce(const std::string& file, const std::string& reason);
    void Step(SaveStep step) const {
        if (stepHook_) stepHook_(step);
    }
    // file: the settings file, for messages; target: the file replaced, where file's links lead.
    void ReplaceFile(const std::string& file, const std::string& target, const std::string& text) const;

    std::string root_;
    WarningHandler warn_;
    std::set<std::string> warned_; // files already reported, so a bad file costs one line
    std::function<void(SaveStep)> stepHook_;
};

// The configuration folder: XDG_CONFIG_HOME when it is an absolute path, else HOME/.config,
// else `fallback` (the system's idea of the user's configuration folder). Null means unset.
std::string ConfigRootFrom(const char* xdgConfigHome, const char* home, const std::string& fallback);

// The product name when it is not empty, else the executable's file name up to its last ".".
std::string ApplicationNameFrom(const std::string& productName, const std::string& executablePath);

} // namespace platform::x11
