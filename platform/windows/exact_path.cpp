#include "platform/windows/exact_path.h"

#include "platform/windows/growing_text.h"
#include "platform/windows/win32.h"

namespace platform::windows_detail {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring FullPath(const std::wstring& path) {
    return GrowingText([&](wchar_t* buffer, DWORD capacity) {
        return ::GetFullPathNameW(path.c_str(), capacity, buffer, nullptr);
    });
}

} // namespace

std::wstring ExactFileName(std::wstring_view name) {
    std::size_t leafStart = 0;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (IsSeparator(name[i]) || (i == 1 && name[i] == L':')) leafStart = i + 1;
    const std::wstring_view leaf = name.substr(leafStart);
    const bool changedBySystem = !leaf.empty() && (leaf.back() == L' ' || leaf.back() == L'.') &&
                                 leaf.find_first_not_of(L'.') != std::wstring_view::npos; // not "." or ".."
    if (!changedBySystem || name.substr(0, 4) == L"\\\\?\\") return std::wstring(name);

    const std::wstring folder = leafStart == 0 ? std::wstring(L".") : std::wstring(name.substr(0, leafStart));
    std::wstring full = FullPath(folder);
    if (full.empty() || full.substr(0, 4) == L"\\\\.\\") return std::wstring(name); // leave devices alone
    if (!IsSeparator(full.back())) full += L'\\';
    const std::wstring prefix = full.substr(0, 2) == L"\\\\" ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
    return prefix + std::wstring(leaf);
}

} // namespace platform::windows_detail
