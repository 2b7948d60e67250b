#include "platform/windows/system_message.h"

#include "platform/blanks.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/win32.h"

namespace platform::windows_detail {

std::string SystemMessage(unsigned long errorCode) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        errorCode, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const std::wstring whole = length ? std::wstring(buffer, length) : std::wstring();
    if (buffer) ::LocalFree(buffer);
    // The system ends its sentence with a full stop and a line end; a message line has neither.
    std::wstring_view text = TrimBlanks(whole, Blanks::WithLineEnds);
    while (text.ends_with(L'.')) {
        text.remove_suffix(1);
        text = TrimBlanks(text, Blanks::WithLineEnds);
    }
    if (text.empty()) return "error " + std::to_string(errorCode);
    return Utf8FromWide(text);
}

} // namespace platform::windows_detail
