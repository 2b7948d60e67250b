// Key state of the whole keyboard for the window's hotkeys.
#include "platform/linux/gui/x11_window.h"

namespace platform::x11 {

// No key reads as down or pressed until the keyboard reader is attached.
std::int16_t X11Window::GetAsyncKeyState(int) { return 0; }

} // namespace platform::x11
