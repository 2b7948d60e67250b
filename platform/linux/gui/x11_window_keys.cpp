// Key state of the whole keyboard for the window's hotkeys.
#include "platform/linux/gui/x11_window.h"

namespace platform::x11 {

std::int16_t X11Window::GetAsyncKeyState(int virtualKey) {
    return keyboard_ ? keyboard_->GetAsyncKeyState(virtualKey) : 0;
}

} // namespace platform::x11
