#include "platform/windows/command_line.h"

#include "platform/blanks.h"
#include "platform/process.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/win32.h"

namespace platform::windows_detail {

std::wstring_view ArgumentsAfterProgramName(std::wstring_view commandLine) {
    std::size_t at = 0;
    bool quoted = false;
    for (; at < commandLine.size(); ++at) {
        const wchar_t c = commandLine[at];
        if (c == L'"') quoted = !quoted;
        else if (IsBlank(c) && !quoted) break;
    }
    // The blanks after the name go with it; those at the end belong to the arguments.
    while (at < commandLine.size() && IsBlank(commandLine[at])) ++at;
    return commandLine.substr(at);
}

} // namespace platform::windows_detail

namespace platform {

std::string ArgumentText() {
    const wchar_t* commandLine = ::GetCommandLineW();
    if (commandLine == nullptr) return {};
    return windows_detail::Utf8FromWide(windows_detail::ArgumentsAfterProgramName(commandLine));
}

} // namespace platform
