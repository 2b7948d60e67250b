// The keyboard of the whole X display: key state words kept from the raw key events,
// whichever window has the focus.
#pragma once

#include <X11/Xlib.h>

#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace platform::x11 {

// Key state words kept from a keyboard snapshot taken once and the raw key events that follow
// it: 0x8000 while the key is down, 0x0001 when it was pressed since that key's previous word.
class KeyLatch {
public:
    // One bit per keycode, keycode 8 at bit 0 of byte 1 (the layout of XQueryKeymap).
    using Snapshot = std::array<std::uint8_t, 32>;

    // The keycodes that count as one virtual key (both Alt keys are Alt); replaces the ones
    // watched before, as after a change of keyboard map. A press already seen still counts.
    void Watch(int virtualKey, const std::vector<int>& keycodes);

    // Which keys are down, from a snapshot; the raw events taken after it keep that up to date.
    void Start(const Snapshot& keys);
    // Raw events, in the order they happened.
    void Press(int keycode);
    void Release(int keycode); // only marks the key up: the press still counts
    // The key's word; clears its pressed-since flag. Keys not watched are always 0.
    std::int16_t Take(int virtualKey);

private:
    struct Key {
        std::vector<int> Keycodes;
        bool Pressed = false;
    };
    Key* KeyOf(int keycode);

    std::map<int, Key> keys_;              // by virtual key
    std::array<bool, 256> down_{};         // by keycode
};

// Key state words of the whole X keyboard, whichever window has the focus, kept from XInput2
// raw key events selected on the root window after one XQueryKeymap at the start: a query asks
// the server nothing. The keys' codes are looked up again whenever the keyboard map changes.
class X11Keyboard {
public:
    // Selects raw key events on the display's root window. Throws platform::Error when the
    // server lacks XInput 2. The display must outlive the keyboard.
    // Watches the given virtual keys (letters, digits, F1-F24, Shift, Ctrl, Alt); every other key
    // reads 0.
    X11Keyboard(Display* display, const std::vector<int>& virtualKeys);
    ~X11Keyboard();
    X11Keyboard(const X11Keyboard&) = delete;
    X11Keyboard& operator=(const X11Keyboard&) = delete;

    // 0x8000 while the key is down, 0x0001 when it was pressed since this key's previous call.
    // The first key asked in a poll takes the raw events that have arrived by then, without a
    // round trip; the keys asked after it in the same poll read the same moment.
    std::int16_t GetAsyncKeyState(int virtualKey);
    // The next key asked starts a new poll.
    void NextPoll() { caughtUp_ = false; }
    // Whether a key was asked in this poll, which read the connection then.
    bool ReadInThisPoll() const { return caughtUp_; }

    // For an event loop on the same display: a raw key event or a change of keyboard map that
    // it has dequeued is taken here (call before XGetEventData on it). True when it was ours.
    bool TakeEvent(XEvent& event);

private:
    // XCheckIfEvent's predicate: a raw key event or a change of keyboard map.
    static Bool IsOurs(Display* display, XEvent* event, XPointer keyboard);
    void Record(XGenericEventCookie& cookie);
    bool IsMapChange(const XEvent& event) const;
    void LookUpKeycodes();
    void TakeArrivedEvents();

    Display* display_;
    std::vector<int> virtualKeys_;
    int opcode_ = 0; // XInput's major opcode: tells its events from other extensions'
    int xkbEventBase_ = -1; // the XKEYBOARD extension's event type, -1 without it
    KeyLatch latch_;
    bool caughtUp_ = false;
};

} // namespace platform::x11
