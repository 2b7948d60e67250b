// Win32 calls that write a text into the caller's buffer and say when it was too small.
#pragma once

#include <algorithm>
#include <string>

#include "platform/windows/win32.h"

namespace platform::windows_detail {

// Calls fill(buffer, capacity) with ever larger buffers until the text fits. `fill` returns
// the text's length, 0 on failure, or at least `capacity` when the text did not fit (the
// room it needs, where the call tells it). Empty on failure.
template <typename Fill>
std::wstring GrowingText(Fill fill) {
    std::wstring text(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = fill(text.data(), static_cast<DWORD>(text.size()));
        if (length == 0) return {};
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(std::max<std::size_t>(std::size_t{length} + 1, text.size() * 2));
    }
}

} // namespace platform::windows_detail
