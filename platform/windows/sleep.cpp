#include "platform/process.h"

#include "platform/windows/win32.h"

namespace platform {

void Sleep(std::uint32_t milliseconds) {
    // INFINITE is all bits set; a finite request that large still ends.
    if (milliseconds == INFINITE) {
        ::Sleep(INFINITE - 1);
        ::Sleep(1);
        return;
    }
    ::Sleep(milliseconds);
}

} // namespace platform
