#include "tests/keys/key_state.h"

#include <X11/Xlib.h>

#include <optional>
#include <stdexcept>
#include <vector>

#include "platform/linux/gui/x11_keyboard.h"
#include "platform/toolkit.h"

namespace platform::x11 {
namespace {

class DisplayKeyState : public KeyStateSource {
public:
    explicit DisplayKeyState(Display* display) : display_(display) {
        try {
            keyboard_.emplace(display, std::vector<int>{kVirtualKeyAlt, kVirtualKeyF4, kVirtualKeyT});
        } catch (...) {
            XCloseDisplay(display);
            throw;
        }
    }
    ~DisplayKeyState() override {
        keyboard_.reset(); // deselects while the connection is still open
        XCloseDisplay(display_);
    }
    std::int16_t GetAsyncKeyState(int virtualKey) override { return keyboard_->GetAsyncKeyState(virtualKey); }
    void NextPoll() override { keyboard_->NextPoll(); }

private:
    Display* display_;
    std::optional<X11Keyboard> keyboard_;
};

} // namespace

std::unique_ptr<KeyStateSource> OpenKeyState(const std::string& displayName) {
    Display* display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    const std::string shown = displayName.empty() ? "the default display" : "display " + displayName;
    if (!display) throw std::runtime_error("cannot open " + shown);
    try {
        return std::make_unique<DisplayKeyState>(display);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(shown + ": " + e.what());
    }
}

} // namespace platform::x11
