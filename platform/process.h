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

} // namespace platform
