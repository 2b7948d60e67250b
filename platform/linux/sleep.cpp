#include <ctime>

#include "platform/linux/retry_interrupted.h"
#include "platform/process.h"

namespace platform {

void Sleep(std::uint32_t milliseconds) {
    timespec left{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    // A signal handler returning early leaves the rest in `left`: sleep that too.
    linux_detail::RetryInterrupted([&] { return ::nanosleep(&left, &left); });
}

} // namespace platform
