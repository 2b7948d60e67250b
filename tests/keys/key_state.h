// The key state of a whole X display for programs without a window of their own
// (test and measuring tools): no X11 types cross this header.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform::x11 {

class KeyStateSource {
public:
    virtual ~KeyStateSource() = default;
    // As platform::Window::GetAsyncKeyState, for Alt, F4 and T.
    virtual std::int16_t GetAsyncKeyState(int virtualKey) = 0;
    // Keys asked until the next call read the keyboard as it was at the first of them.
    virtual void NextPoll() = 0;
};

// Connects to the named display ("" for $DISPLAY). Throws std::runtime_error naming the
// display when it can't be opened or lacks XInput 2.
std::unique_ptr<KeyStateSource> OpenKeyState(const std::string& displayName);

} // namespace platform::x11
