#include <csignal>

#include "platform/process.h"

namespace platform {
namespace {
volatile std::sig_atomic_t stopRequested = 0;

extern "C" void NoteStopRequest(int) { stopRequested = 1; }
} // namespace

void CatchStopRequests() {
    struct sigaction action {};
    action.sa_handler = NoteStopRequest;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool StopRequested() { return stopRequested != 0; }

} // namespace platform
