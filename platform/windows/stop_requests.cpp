#include "platform/process.h"

#include "platform/windows/stop_requests.h"
#include "platform/windows/win32.h"

namespace platform::windows_detail {
namespace {

volatile LONG stopRequested = 0;

// Runs on a thread of its own. After a console close, log-off or shutdown the system ends the
// process once this returns, so it waits (within the system's few seconds) for the program
// to leave its loop and exit by itself.
BOOL WINAPI NoteConsoleStop(DWORD event) {
    NoteStopRequest();
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) ::Sleep(4000);
    return TRUE;
}

} // namespace

void NoteStopRequest() { ::InterlockedExchange(&stopRequested, 1); }

} // namespace platform::windows_detail

namespace platform {

void CatchStopRequests() { ::SetConsoleCtrlHandler(&windows_detail::NoteConsoleStop, TRUE); }

bool StopRequested() { return ::InterlockedCompareExchange(&windows_detail::stopRequested, 0, 0) != 0; }

} // namespace platform
