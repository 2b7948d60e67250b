#include <vector>

#include "platform/settings.h"
#include "platform/windows/gui/application_name.h"
#include "platform/windows/growing_text.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/win32.h"

namespace platform::windows_detail {
namespace {

// A path that fills the buffer was cut short: GrowingText tries again with room for it.
std::wstring OwnFileName() {
    return GrowingText([](wchar_t* buffer, DWORD capacity) { return ::GetModuleFileNameW(nullptr, buffer, capacity); });
}

} // namespace

std::wstring FileStem(std::wstring_view path) {
    const std::size_t slash = path.find_last_of(L"\\/:");
    std::wstring_view leaf = slash == std::wstring_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = leaf.rfind(L'.');
    if (dot != std::wstring_view::npos && dot > 0) leaf = leaf.substr(0, dot);
    return std::wstring(leaf);
}

std::wstring ProductNameOf(const std::wstring& file) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<unsigned char> info(size);
    if (!::GetFileVersionInfoW(file.c_str(), 0, size, info.data())) return {};

    struct Translation {
        WORD Language;
        WORD CodePage;
    };
    Translation* translations = nullptr;
    UINT bytes = 0;
    std::vector<Translation> tried;
    if (::VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &bytes))
        tried.assign(translations, translations + bytes / sizeof(Translation));
    tried.push_back({0x0409, 1200}); // US English, Unicode: what most files carry
    for (const Translation& translation : tried) {
        wchar_t query[64];
        ::wsprintfW(query, L"\\StringFileInfo\\%04x%04x\\ProductName", translation.Language, translation.CodePage);
        wchar_t* text = nullptr;
        UINT length = 0;
        if (::VerQueryValueW(info.data(), query, reinterpret_cast<void**>(&text), &length) && text && length > 0) {
            std::wstring name(text, length);
            while (!name.empty() && name.back() == L'\0') name.pop_back();
            if (!name.empty()) return name;
        }
    }
    return {};
}

} // namespace platform::windows_detail

namespace platform {

std::string ApplicationName() {
    const std::wstring file = windows_detail::OwnFileName();
    std::wstring name = windows_detail::ProductNameOf(file);
    if (name.empty()) name = windows_detail::FileStem(file);
    return windows_detail::Utf8FromWide(name);
}

} // namespace platform
