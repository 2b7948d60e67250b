// Process services: entry point, argument text, sleep.
#pragma once

#include <cstdint>
#include <string>

// Each program defines this; the platform's entry point calls it and exits with its result.
int ProgramMain();

namespace platform {

// Everything on the command line after the program's own name, as one UTF-8 text.
// Where the system delivers the arguments already split, they are joined with single blanks.
std::string ArgumentText();

// Suspends the calling thread for the whole given time, resuming after signals.
void Sleep(std::uint32_t milliseconds);

// From this call on, a request from outside to stop (SIGTERM or SIGINT; a console close on
// Windows) no longer ends the process at once: StopRequested() turns true instead, so the
// program can leave its loop and tear down cleanly.
void CatchStopRequests();
bool StopRequested();

} // namespace platform
