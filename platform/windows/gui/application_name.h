// The program's own file: its name, and the product name in its version information.
#pragma once

#include <string>
#include <string_view>

namespace platform::windows_detail {

// The last part of a path without its extension: C:\Apps\Nevlin.exe gives Nevlin.
std::wstring FileStem(std::wstring_view path);
// The ProductName of the file's version information; empty when it has none.
std::wstring ProductNameOf(const std::wstring& file);

} // namespace platform::windows_detail
