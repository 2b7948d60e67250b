#include "platform/process.h"
#include "platform/settings.h"
#include "platform/windows/gui/registry_settings.h"
#include "platform/windows/system_message.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/win32.h"

namespace platform::windows_detail {
namespace {

class RegistryKey {
public:
    explicit RegistryKey(HKEY key) : key_(key) {}
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() { ::RegCloseKey(key_); }
    HKEY get() const { return key_; }

private:
    HKEY key_;
};

// The text of a REG_SZ value; nothing when it is absent or holds something else.
bool ReadText(HKEY key, const std::wstring& name, std::wstring& text) {
    for (;;) {
        DWORD type = 0;
        DWORD bytes = 0;
        if (::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return false;
        if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
        std::wstring buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD capacity = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        const LONG status = ::RegQueryValueExW(key, name.c_str(), nullptr, &type,
                                               reinterpret_cast<BYTE*>(buffer.data()), &capacity);
        if (status == ERROR_MORE_DATA) continue; // grew in between
        if (status != ERROR_SUCCESS) return false;
        // The stored text may or may not end with its terminating zero.
        buffer.resize(capacity / sizeof(wchar_t));
        while (!buffer.empty() && buffer.back() == L'\0') buffer.pop_back();
        text = std::move(buffer);
        return true;
    }
}

class RegistrySettings final : public SettingsStore {
public:
    std::string GetSetting(const std::string& application, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override {
        HKEY opened = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, WideFromUtf8(SettingsKeyPath(application, section)).c_str(), 0,
                            KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
            return defaultValue;
        RegistryKey sectionKey(opened);
        std::wstring text;
        if (!ReadText(sectionKey.get(), WideFromUtf8(key), text)) return defaultValue;
        return Utf8FromWide(text);
    }

    void SaveSetting(const std::string& application, const std::string& section, const std::string& key,
                     const std::string& value) override {
        const std::string path = SettingsKeyPath(application, section);
        HKEY created = nullptr;
        LONG status = ::RegCreateKeyExW(HKEY_CURRENT_USER, WideFromUtf8(path).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                        nullptr, &created, nullptr);
        if (status != ERROR_SUCCESS) throw Failure(path, key, status);
        RegistryKey sectionKey(created);
        const std::wstring text = WideFromUtf8(value);
        status = ::RegSetValueExW(sectionKey.get(), WideFromUtf8(key).c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        if (status != ERROR_SUCCESS) throw Failure(path, key, status);
    }

    std::string Location(const std::string& application) const override {
        return "HKEY_CURRENT_USER\\" + SettingsKeyPath(application);
    }

private:
    static Error Failure(const std::string& path, const std::string& key, LONG status) {
        return Error("cannot save \"" + key + "\" under HKEY_CURRENT_USER\\" + path + ": " +
                                  SystemMessage(static_cast<unsigned long>(status)));
    }
};

} // namespace

std::string SettingsKeyPath(const std::string& application) {
    return "Software\\VB and VBA Program Settings\\" + application;
}

std::string SettingsKeyPath(const std::string& application, const std::string& section) {
    return SettingsKeyPath(application) + "\\" + section;
}

} // namespace platform::windows_detail

namespace platform {

// The registry gives a value or the default: there is nothing to warn about.
std::unique_ptr<SettingsStore> OpenUserSettings(WarningHandler /*warn*/) {
    return std::make_unique<windows_detail::RegistrySettings>();
}

} // namespace platform
