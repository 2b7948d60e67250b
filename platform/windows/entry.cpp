// The program entry point of both programs. They are GUI-subsystem programs, so started from
// Explorer or the scheduler they get no console window; their reports and error messages go to
// the standard output and error they were given, or else to the console of the program that
// started them.
#include <cstdio>

#include "platform/process.h"
#include "platform/windows/win32.h"

namespace {

bool IsUsable(DWORD standardHandle) {
    HANDLE handle = ::GetStdHandle(standardHandle);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

void ConnectStandardStreamsToParentConsole() {
    const bool output = IsUsable(STD_OUTPUT_HANDLE), error = IsUsable(STD_ERROR_HANDLE);
    if ((output && error) || !::AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (!output) std::freopen("CONOUT$", "w", stdout);
    if (!error && std::freopen("CONOUT$", "w", stderr) != nullptr) std::setvbuf(stderr, nullptr, _IONBF, 0);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ConnectStandardStreamsToParentConsole();
    return ProgramMain();
}
