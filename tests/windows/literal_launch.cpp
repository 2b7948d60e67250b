// literal_launch PROGRAM WORD...: starts PROGRAM with the command line "PROGRAM" WORD WORD ...,
// the words joined with single blanks and nothing quoted, waits for it and exits with its status.
//
// Wine builds a Windows command line from the Unix arguments and quotes every one holding a
// blank, so a script cannot hand a Windows program a command line such as `power.txt ;1000`
// directly. This tool undoes that quoting, so a test written for the Unix program (whose
// arguments arrive joined with single blanks) sees the same argument text on Windows. The
// program is killed along with the tool, so stopping the tool stops it.
#include <string>

#include "platform/windows/win32.h"
#include <shellapi.h>

namespace {

int Fail(const char* what) {
    const DWORD error = ::GetLastError();
    const std::string message =
        std::string("literal_launch: ") + what + " failed (error " + std::to_string(error) + ")\n";
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), message.data(), static_cast<DWORD>(message.size()), &written,
                nullptr);
    return 126;
}

HANDLE InheritableCopy(DWORD which) {
    HANDLE own = ::GetStdHandle(which);
    HANDLE copy = nullptr;
    if (own == nullptr || own == INVALID_HANDLE_VALUE ||
        !::DuplicateHandle(::GetCurrentProcess(), own, ::GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS))
        return nullptr;
    return copy;
}

} // namespace

int wmain() {
    int count = 0;
    wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (words == nullptr || count < 2) {
        ::SetLastError(ERROR_BAD_ARGUMENTS);
        return Fail("reading the arguments");
    }
    std::wstring commandLine = L"\"" + std::wstring(words[1]) + L"\"";
    for (int i = 2; i < count; ++i) commandLine += L" " + std::wstring(words[i]);

    HANDLE job = ::CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job == nullptr || !::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits))
        return Fail("creating the job");

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = InheritableCopy(STD_INPUT_HANDLE);
    startup.hStdOutput = InheritableCopy(STD_OUTPUT_HANDLE);
    startup.hStdError = InheritableCopy(STD_ERROR_HANDLE);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(words[1], commandLine.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr,
                          &startup, &started))
        return Fail("starting the program");
    ::AssignProcessToJobObject(job, started.hProcess);
    ::ResumeThread(started.hThread);
    ::WaitForSingleObject(started.hProcess, INFINITE);
    DWORD status = 1;
    ::GetExitCodeProcess(started.hProcess, &status);
    return static_cast<int>(status);
}
