// Key state words of the whole X keyboard, whichever window has the focus: the top bit from
// XQueryKeymap, the lowest bit from XInput2 raw key events selected on the root window.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>

#include "platform/linux/gui/key_latch.h"

namespace platform::linux_detail {

class X11Keyboard {
public:
    // Selects raw key events on the display's root window. Throws std::runtime_error when the
    // server lacks XInput 2. The display must outlive the keyboard.
    explicit X11Keyboard(Display* display);
    ~X11Keyboard();
    X11Keyboard(const X11Keyboard&) = delete;
    X11Keyboard& operator=(const X11Keyboard&) = delete;

    // 0x8000 while the key is down, 0x0001 when it was pressed since this key's previous call.
    // The keys asked in one poll share one keymap snapshot: one round trip per poll, and a
    // chord reads both of its keys from the same moment.
    std::int16_t GetAsyncKeyState(int virtualKey);
    // The next key asked starts a new poll with a fresh snapshot.
    void NextPoll() { snapshotTaken_ = false; }

    // For an event loop on the same display: a raw key event it has dequeued is recorded here
    // (call before XGetEventData on it). True when the event was one of ours.
    bool TakeEvent(XEvent& event);

private:
    void Record(XGenericEventCookie& cookie);
    void TakeSnapshot();

    Display* display_;
    int opcode_ = 0; // XInput's major opcode: tells its events from other extensions'
    KeyLatch latch_;
    bool snapshotTaken_ = false;
};

} // namespace platform::linux_detail
