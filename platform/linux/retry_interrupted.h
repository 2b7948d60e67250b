// System calls that a signal handler may interrupt before they did anything.
#pragma once

#include <cerrno>

namespace platform::linux_detail {

// Calls `call` again for as long as it fails with EINTR; returns its first other result.
// The call is made afresh each time, so it sees whatever the previous try left behind
// (the time still to sleep, for one).
template <typename Call>
auto RetryInterrupted(Call call) {
    for (;;) {
        const auto result = call();
        if (!(result == -1 && errno == EINTR)) return result;
    }
}

} // namespace platform::linux_detail
