#include "platform/linux/gui/settings_store.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace platform::linux_detail {
namespace {

constexpr const char* kFileName = "settings.conf";
constexpr const char* kBrokenSuffix = ".bad";

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
    // Comments and translations are kept so a save rewrites the user's file faithfully.
    auto flags = static_cast<GKeyFileFlags>(G_KEY_FILE_KEEP_COMMENTS | G_KEY_FILE_KEEP_TRANSLATIONS);
    if (g_key_file_load_from_file(loaded.keys.get(), file.c_str(), flags, &failure.error)) {
        loaded.result = LoadResult::Loaded;
    } else if (g_error_matches(failure.error, G_FILE_ERROR, G_FILE_ERROR_NOENT)) {
        loaded.result = LoadResult::Absent;
    } else {
        loaded.result = failure.error->domain == G_KEY_FILE_ERROR ? LoadResult::Broken : LoadResult::Unreadable;
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
    throw std::runtime_error("cannot save the settings in " + file + ": " + reason);
}

} // namespace

KeyFileSettings::KeyFileSettings(std::string configRoot, std::ostream& warnings)
    : root_(std::move(configRoot)), warnings_(warnings) {}

std::string KeyFileSettings::Location(const std::string& application) const {
    return root_ + "/" + application + "/" + kFileName;
}

void KeyFileSettings::WarnOnce(const std::string& file, const std::string& reason) {
    if (!warned_.insert(file).second) return;
    warnings_ << "warning: " << file << ": " << reason << "; using the default settings\n";
    warnings_.flush();
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
    const std::string file = Location(application);
    if (!IsApplicationName(application)) FailSave(file, "\"" + application + "\" is not a folder name");
    if (!IsGroupName(section)) FailSave(file, "\"" + section + "\" cannot be a section name");
    if (!IsKeyName(key)) FailSave(file, "\"" + key + "\" cannot be a key name");
    if (!g_utf8_validate(value.data(), static_cast<gssize>(value.size()), nullptr) ||
        value.find('\0') != std::string::npos)
        FailSave(file, "the value of \"" + key + "\" is not UTF-8 text");

    LoadedFile loaded = Load(file);
    if (loaded.result == LoadResult::Unreadable) FailSave(file, loaded.reason);
    if (loaded.result == LoadResult::Broken) {
        // Never write over what the user may still want: the broken file moves aside first.
        const std::string kept = file + kBrokenSuffix;
        if (g_rename(file.c_str(), kept.c_str()) != 0)
            FailSave(file, std::string("cannot keep the unreadable file as ") + kept + ": " + std::strerror(errno));
        warnings_ << "warning: " << file << ": " << loaded.reason << "; kept it as " << kept << "\n";
        warnings_.flush();
    }

    g_key_file_set_string(loaded.keys.get(), section.c_str(), key.c_str(), value.c_str());
    gsize length = 0;
    gchar* data = g_key_file_to_data(loaded.keys.get(), &length, nullptr);
    std::unique_ptr<gchar, decltype(&g_free)> text(data, &g_free);

    const std::string folder = root_ + "/" + application;
    if (g_mkdir_with_parents(folder.c_str(), 0700) != 0)
        FailSave(file, std::string("cannot create ") + folder + ": " + std::strerror(errno));

    // A new file next to the old one, flushed to disk, then renamed over it: a crash or a
    // full disk leaves either the old settings or the new ones, never a mixture.
    ErrorHolder failure;
    auto flags = static_cast<GFileSetContentsFlags>(G_FILE_SET_CONTENTS_CONSISTENT | G_FILE_SET_CONTENTS_DURABLE);
    if (!g_file_set_contents_full(file.c_str(), text.get(), static_cast<gssize>(length), flags, 0600,
                                  &failure.error))
        FailSave(file, failure.Message());
}

} // namespace platform::linux_detail
