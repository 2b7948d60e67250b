#include "platform/linux/gui/settings_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

#include "platform/message_text.h"
#include "platform/process.h"
#include "platform/version.h"

namespace platform::x11 {
namespace {

constexpr const char* kFileName = "settings.conf";
constexpr const char* kBrokenSuffix = ".bad";
constexpr std::string_view kTemporaryLetters = "XXXXXX"; // as many as mkstemp fills in
// As many symbolic links as the system follows when it opens a file.
constexpr int kMostLinks = 40;

using KeyFilePtr = std::unique_ptr<GKeyFile, decltype(&g_key_file_free)>;

struct ErrorHolder {
    GError* error = nullptr;
    ~ErrorHolder() {
        if (error) g_error_free(error);
    }
    std::string Message() const { return error ? error->message : "unknown error"; }
};

enum class LoadResult { Absent, Loaded, Broken, Unreadable };

struct LoadedFile {
    KeyFilePtr keys{g_key_file_new(), &g_key_file_free};
    LoadResult result = LoadResult::Absent;
    std::string reason;
};

LoadedFile Load(const std::string& file) {
    LoadedFile loaded;
    // Something else in the file's place (a folder, a device) is not ours to move aside.
    if (g_file_test(file.c_str(), G_FILE_TEST_EXISTS) && !g_file_test(file.c_str(), G_FILE_TEST_IS_REGULAR)) {
        loaded.result = LoadResult::Unreadable;
        loaded.reason = "not a regular file";
        return loaded;
    }
    ErrorHolder failure;
    gchar* bytes = nullptr;
    gsize length = 0;
    if (!g_file_get_contents(file.c_str(), &bytes, &length, &failure.error)) {
        const bool absent = g_error_matches(failure.error, G_FILE_ERROR, G_FILE_ERROR_NOENT);
        loaded.result = absent ? LoadResult::Absent : LoadResult::Unreadable;
        if (!absent) loaded.reason = failure.Message();
        return loaded;
    }
    const std::unique_ptr<gchar, decltype(&g_free)> text(bytes, &g_free);
    // GLib would read a line only up to a NUL byte, and a save would drop the rest of it.
    if (std::memchr(text.get(), '\0', length)) {
        loaded.result = LoadResult::Broken;
        loaded.reason = "the file holds a NUL byte";
        return loaded;
    }
    // Comments and translations are kept so a save rewrites the user's file faithfully.
    auto flags = static_cast<GKeyFileFlags>(G_KEY_FILE_KEEP_COMMENTS | G_KEY_FILE_KEEP_TRANSLATIONS);
    if (g_key_file_load_from_data(loaded.keys.get(), text.get(), length, flags, &failure.error)) {
        loaded.result = LoadResult::Loaded;
    } else {
        loaded.result = LoadResult::Broken;
        loaded.reason = failure.Message();
        loaded.keys.reset(g_key_file_new());
    }
    return loaded;
}

bool HasControlCharacter(const std::string& text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f) return true;
    return false;
}

// Names the key file can hold and read back unchanged; GLib refuses the others silently.
bool IsGroupName(const std::string& name) {
    return !name.empty() && name.find_first_of("[]") == std::string::npos && !HasControlCharacter(name) &&
           g_utf8_validate(name.data(), static_cast<gssize>(name.size()), nullptr);
}

bool IsKeyName(const std::string& name) {
    // A leading "#" would read back as a comment, outer blanks would be trimmed.
    return !name.empty() && name.find_first_of("=[]") == std::string::npos && name.front() != '#' &&
           name.front() != ' ' && name.back() != ' ' && !HasControlCharacter(name) &&
           g_utf8_validate(name.data(), static_cast<gssize>(name.size()), nullptr);
}

// An application name is one folder name.
bool IsApplicationName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

[[noreturn]] void FailSave(const std::string& file, const std::string& reason) {
    throw Error("cannot save the settings in " + file + ": " + reason);
}

std::string SystemReason(const std::string& what) { return what + ": " + std::strerror(errno); }

bool Exists(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

// settings.conf.bad is the newest broken copy, settings.conf.bad.1 the one before, and so on.
std::string BrokenCopy(const std::string& file, int age) {
    std::string copy = file + kBrokenSuffix;
    if (age > 0) copy += '.' + std::to_string(age);
    return copy;
}

// Moves the broken file aside as the newest copy; older copies move up one place and the
// oldest beyond the last place goes. Returns where the file went.
std::string KeepBrokenFile(const std::string& file) {
    for (int age = kBrokenCopies - 2; age >= 0; --age) {
        const std::string older = BrokenCopy(file, age);
        if (Exists(older) && ::rename(older.c_str(), BrokenCopy(file, age + 1).c_str()) != 0)
            FailSave(file, SystemReason("cannot move the earlier unreadable copy " + older));
    }
    const std::string kept = BrokenCopy(file, 0);
    if (::rename(file.c_str(), kept.c_str()) != 0)
        FailSave(file, SystemReason("cannot keep the unreadable file as " + kept));
    return kept;
}

// The file a save replaces: `file`, or the file its symbolic links lead to, so that a settings
// file the user keeps elsewhere (with their dotfiles) stays linked.
std::string SaveTarget(const std::string& file) {
    std::string target = file;
    for (int links = 0; links < kMostLinks; ++links) {
        struct stat info;
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return target;
        std::error_code failure;
        const std::filesystem::path next = std::filesystem::read_symlink(target, failure);
        if (failure) FailSave(file, "cannot read the link " + target + ": " + failure.message());
        target = next.is_absolute() ? next.string() : (std::filesystem::path(target).parent_path() / next).string();
    }
    FailSave(file, std::strerror(ELOOP));
}

std::string FolderOf(const std::string& file) {
    const std::string folder = std::filesystem::path(file).parent_path().string();
    return folder.empty() ? "." : folder;
}

bool IsTemporaryName(std::string_view name, std::string_view prefix) {
    if (name.size() != prefix.size() + kTemporaryLetters.size() || !name.starts_with(prefix)) return false;
    for (const char c : name.substr(prefix.size()))
        if (!g_ascii_isalnum(c)) return false;
    return true;
}

// Removes the new files that killed saves left beside `target`. A running save keeps its new
// file locked until the file is renamed, so only files nobody holds are taken.
void RemoveLeftoverTemporaries(const std::string& target) {
    const std::string prefix = std::filesystem::path(target).filename().string() + kTemporaryInfix;
    DIR* listing = ::opendir(FolderOf(target).c_str());
    if (!listing) return; // the save itself will say why the folder can't be used
    while (const dirent* entry = ::readdir(listing)) {
        if (!IsTemporaryName(entry->d_name, prefix)) continue;
        const int descriptor =
            ::openat(::dirfd(listing), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (descriptor < 0) continue;
        struct stat info;
        if (::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) && ::flock(descriptor, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(::dirfd(listing), entry->d_name, 0);
        ::close(descriptor);
    }
    ::closedir(listing);
}

// A new file beside `target`, locked for as long as one of its descriptors is open. A
// clean-up that found it before the lock was taken may have removed it: then it is made anew.
int CreateTemporary(const std::string& target, std::string& temporary) {
    for (int attempt = 1;; ++attempt) {
        temporary = target + kTemporaryInfix + std::string(kTemporaryLetters);
        const int descriptor = g_mkstemp_full(temporary.data(), O_WRONLY | O_CLOEXEC, 0600);
        if (descriptor < 0) return -1;
        // Where the system has no locks, clean-ups can't take the file either.
        ::flock(descriptor, LOCK_EX);
        struct stat named;
        if (::lstat(temporary.c_str(), &named) == 0 || errno != ENOENT || attempt == 3) return descriptor;
        ::close(descriptor);
    }
}

// Writes all of text; false with errno set when the disk refuses some of it.
bool WriteAll(int descriptor, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(descriptor, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

KeyFileSettings::KeyFileSettings(std::string configRoot, WarningHandler warn)
    : root_(std::move(configRoot)), warn_(std::move(warn)) {}

std::string KeyFileSettings::Location(const std::string& application) const {
    return root_ + "/" + application + "/" + kFileName;
}

void KeyFileSettings::WarnOnce(const std::string& file, const std::string& reason) {
    if (!warned_.insert(file).second) return;
    Warn(file + ": " + QuotedForMessage(reason) + "; using the default settings");
}

std::string KeyFileSettings::GetSetting(const std::string& application, const std::string& section,
                                        const std::string& key, const std::string& defaultValue) {
    if (!IsApplicationName(application)) return defaultValue;
    const std::string file = Location(application);
    LoadedFile loaded = Load(file);
    if (loaded.result == LoadResult::Broken || loaded.result == LoadResult::Unreadable) {
        WarnOnce(file, loaded.reason);
        return defaultValue;
    }
    if (loaded.result == LoadResult::Absent) return defaultValue;

    gchar* value = g_key_file_get_string(loaded.keys.get(), section.c_str(), key.c_str(), nullptr);
    if (!value) return defaultValue;
    std::string text(value);
    g_free(value);
    return text;
}

void KeyFileSettings::SaveSetting(const std::string& application, const std::string& section,
                                  const std::string& key, const std::string& value) {
    SaveSettings(application, section, {{key, value}});
}

void KeyFileSettings::SaveSettings(const std::string& application, const std::string& section,
                                   const std::vector<SettingValue>& values) {
    const std::string file = Location(application);
    if (!IsApplicationName(application)) FailSave(file, QuotedForMessage(application) + " is not a folder name");
    if (!IsGroupName(section)) FailSave(file, QuotedForMessage(section) + " cannot be a section name");
    for (const SettingValue& value : values) {
        if (!IsKeyName(value.Key)) FailSave(file, QuotedForMessage(value.Key) + " cannot be a key name");
        if (!g_utf8_validate(value.Value.data(), static_cast<gssize>(value.Value.size()), nullptr) ||
            value.Value.find('\0') != std::string::npos)
            FailSave(file, "the value of " + QuotedForMessage(value.Key) + " is not UTF-8 text");
    }

    const std::string target = SaveTarget(file);
    LoadedFile loaded = Load(target);
    if (loaded.result == LoadResult::Unreadable) FailSave(file, loaded.reason);
    if (loaded.result == LoadResult::Broken) {
        // Never write over what the user may still want: the broken file moves aside first.
        const std::string kept = KeepBrokenFile(target);
        Warn(file + ": " + QuotedForMessage(loaded.reason) + "; kept it as " + kept);
        Step(SaveStep::BrokenFileKept);
    }

    for (const SettingValue& value : values)
        g_key_file_set_string(loaded.keys.get(), section.c_str(), value.Key.c_str(), value.Value.c_str());
    gsize length = 0;
    std::unique_ptr<gchar, decltype(&g_free)> text(g_key_file_to_data(loaded.keys.get(), &length, nullptr), &g_free);

    const std::string folder = root_ + "/" + application;
    if (g_mkdir_with_parents(folder.c_str(), 0700) != 0) FailSave(file, SystemReason("cannot create " + folder));
    Step(SaveStep::FolderMade);
    ReplaceFile(file, target, std::string(text.get(), length));
}

// A new file in the target's folder, flushed to disk, then renamed over the target: a crash
// or a full disk leaves either the old settings or the new ones, never a mixture.
void KeyFileSettings::ReplaceFile(const std::string& file, const std::string& target, const std::string& text) const {
    RemoveLeftoverTemporaries(target);
    std::string temporary;
    const int descriptor = CreateTemporary(target, temporary);
    if (descriptor < 0) FailSave(file, SystemReason("cannot create a new file beside it"));
    // A second descriptor keeps the new file locked from its close until its rename.
    const int lock = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    const auto release = [&] {
        if (lock >= 0) ::close(lock);
    };
    Step(SaveStep::TempCreated);
    const auto fail = [&](const std::string& what, bool stillOpen) {
        const std::string reason = SystemReason(what);
        if (stillOpen) ::close(descriptor);
        ::unlink(temporary.c_str());
        release();
        FailSave(file, reason);
    };
    if (!WriteAll(descriptor, text)) fail("cannot write " + temporary, true);
    Step(SaveStep::Written);
    if (::fsync(descriptor) != 0) fail("cannot flush " + temporary + " to disk", true);
    Step(SaveStep::Synced);
    if (::close(descriptor) != 0) fail("cannot close " + temporary, false);
    Step(SaveStep::Closed);
    if (::rename(temporary.c_str(), target.c_str()) != 0) fail("cannot rename " + temporary + " over it", false);
    release();
    Step(SaveStep::Renamed);
    // The rename itself reaches the disk with the folder.
    const int folderDescriptor = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderDescriptor >= 0) {
        ::fsync(folderDescriptor);
        ::close(folderDescriptor);
    }
    Step(SaveStep::FolderSynced);
}

// The user's configuration folder and the application name the store is addressed by.
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

} // namespace platform::x11

namespace platform {

std::unique_ptr<SettingsStore> OpenUserSettings(WarningHandler warn) {
    return std::make_unique<x11::KeyFileSettings>(
        x11::ConfigRootFrom(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), g_get_user_config_dir()),
        std::move(warn));
}

std::string ApplicationName() {
    std::error_code failure;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", failure);
    return x11::ApplicationNameFrom(OSTRAVEL_PRODUCT_NAME, failure ? std::string() : executable.string());
}

} // namespace platform
