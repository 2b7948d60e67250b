#include "platform/linux/gui/x11_keyboard.h"

#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

#include <initializer_list>
#include <stdexcept>
#include <vector>

#include "platform/toolkit.h"

namespace platform::linux_detail {
namespace {

struct RawKeyFilter {
    int Opcode;
};

bool IsRawKeyEvent(const XEvent& event, int opcode) {
    return event.type == GenericEvent && event.xcookie.extension == opcode &&
           (event.xcookie.evtype == XI_RawKeyPress || event.xcookie.evtype == XI_RawKeyRelease);
}

Bool MatchesRawKeyEvent(Display*, XEvent* event, XPointer filter) {
    return IsRawKeyEvent(*event, reinterpret_cast<RawKeyFilter*>(filter)->Opcode) ? True : False;
}

// Every keycode whose mapping holds one of the keysyms, whichever level or group.
std::vector<int> KeycodesOf(Display* display, std::initializer_list<KeySym> wanted) {
    int first = 0, last = 0, perKeycode = 0;
    XDisplayKeycodes(display, &first, &last);
    KeySym* map = XGetKeyboardMapping(display, static_cast<KeyCode>(first), last - first + 1, &perKeycode);
    std::vector<int> keycodes;
    if (!map) return keycodes;
    for (int keycode = first; keycode <= last; ++keycode) {
        const KeySym* syms = map + (keycode - first) * perKeycode;
        bool matches = false;
        for (int i = 0; i < perKeycode && !matches; ++i)
            for (KeySym sym : wanted) matches = matches || syms[i] == sym;
        if (matches) keycodes.push_back(keycode);
    }
    XFree(map);
    return keycodes;
}

void SelectRawKeys(Display* display, bool wanted) {
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    if (wanted) {
        XISetMask(bits, XI_RawKeyPress);
        XISetMask(bits, XI_RawKeyRelease);
    }
    // Master devices only: each key then arrives once, not again from its physical device.
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
    XFlush(display);
}

} // namespace

X11Keyboard::X11Keyboard(Display* display) : display_(display) {
    int event = 0, error = 0;
    if (!XQueryExtension(display, "XInputExtension", &opcode_, &event, &error))
        throw std::runtime_error("the X server has no XInput extension");
    // 2.1 delivers raw events to the root even while another client grabs the keyboard.
    int major = 2, minor = 2;
    if (XIQueryVersion(display, &major, &minor) != Success || major < 2)
        throw std::runtime_error("the X server lacks XInput 2");

    latch_.Watch(kVirtualKeyAlt, KeycodesOf(display, {XK_Alt_L, XK_Alt_R}));
    latch_.Watch(kVirtualKeyF4, KeycodesOf(display, {XK_F4}));
    latch_.Watch(kVirtualKeyT, KeycodesOf(display, {XK_t, XK_T}));
    SelectRawKeys(display, true);
}

X11Keyboard::~X11Keyboard() { SelectRawKeys(display_, false); }

std::int16_t X11Keyboard::GetAsyncKeyState(int virtualKey) {
    if (!snapshotTaken_) {
        TakeSnapshot();
        snapshotTaken_ = true;
    }
    return latch_.Take(virtualKey);
}

void X11Keyboard::TakeSnapshot() {
    // The snapshot is a round trip, so every event sent before it is queued by now; the
    // events taken after it replay into the same state and add the presses in between.
    char keys[32] = {};
    XQueryKeymap(display_, keys);
    KeyLatch::Snapshot snapshot{};
    for (int i = 0; i < 32; ++i) snapshot[i] = static_cast<std::uint8_t>(keys[i]);
    latch_.Begin(snapshot);

    // Only our events: the window's own stay queued for its event loop.
    RawKeyFilter filter{opcode_};
    XEvent event;
    while (XCheckIfEvent(display_, &event, MatchesRawKeyEvent, reinterpret_cast<XPointer>(&filter)))
        Record(event.xcookie);
}

bool X11Keyboard::TakeEvent(XEvent& event) {
    if (!IsRawKeyEvent(event, opcode_)) return false;
    Record(event.xcookie);
    return true;
}

void X11Keyboard::Record(XGenericEventCookie& cookie) {
    const bool fetched = XGetEventData(display_, &cookie);
    if (const auto* raw = static_cast<const XIRawEvent*>(cookie.data)) {
        if (cookie.evtype == XI_RawKeyPress)
            latch_.Press(raw->detail);
        else
            latch_.Release(raw->detail);
    }
    if (fetched) XFreeEventData(display_, &cookie);
}

} // namespace platform::linux_detail
