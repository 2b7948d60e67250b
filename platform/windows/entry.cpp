// The program entry point of both programs. They are GUI-subsystem programs, so started from
// Explorer or the scheduler they get no console window; their error messages go to the
// standard error they were given, or else to the console of the program that started them.
#include <cstdio>

#include "platform/process.h"
#include "platform/windows/win32.h"

namespace {

bool HasUsableStandardError() {
    HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    return error != nullptr && error != INVALID_HANDLE_VALUE && ::GetFileType(error) != FILE_TYPE_UNKNOWN;
}

void ConnectStandardErrorToParentConsole() {
    if (HasUsableStandardError()) return;
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (std::freopen("CONOUT$", "w", stderr) != nullptr) std::setvbuf(stderr, nullptr, _IONBF, 0);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ConnectStandardErrorToParentConsole();
    return ProgramMain();
}
