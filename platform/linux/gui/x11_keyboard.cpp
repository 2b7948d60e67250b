// The keyboard of the whole X display: key state words kept from the raw key events,
// whichever window has the focus.
#include "platform/linux/gui/x11_keyboard.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

#include <initializer_list>
#include <vector>

#include "platform/process.h"
#include "platform/toolkit.h"

namespace platform::x11 {

namespace {
bool InRange(int keycode) { return keycode >= 0 && keycode < 256; }
} // namespace

void KeyLatch::Watch(int virtualKey, const std::vector<int>& keycodes) {
    auto& key = keys_[virtualKey];
    key.Keycodes.clear();
    for (int keycode : keycodes)
        if (InRange(keycode)) key.Keycodes.push_back(keycode);
}

void KeyLatch::Start(const Snapshot& keys) {
    for (int keycode = 0; keycode < 256; ++keycode) down_[keycode] = (keys[keycode / 8] >> (keycode % 8)) & 1;
}

KeyLatch::Key* KeyLatch::KeyOf(int keycode) {
    for (auto& [virtualKey, key] : keys_)
        for (int watched : key.Keycodes)
            if (watched == keycode) return &key;
    return nullptr;
}

void KeyLatch::Press(int keycode) {
    if (!InRange(keycode)) return;
    down_[keycode] = true;
    if (Key* key = KeyOf(keycode)) key->Pressed = true;
}

void KeyLatch::Release(int keycode) {
    if (InRange(keycode)) down_[keycode] = false;
}

std::int16_t KeyLatch::Take(int virtualKey) {
    auto found = keys_.find(virtualKey);
    if (found == keys_.end()) return 0;
    Key& key = found->second;
    bool down = false;
    for (int keycode : key.Keycodes) down = down || down_[keycode];
    std::uint16_t word = (down ? 0x8000u : 0u) | (key.Pressed ? 0x0001u : 0u);
    key.Pressed = false;
    return static_cast<std::int16_t>(word);
}

namespace {

bool IsRawKeyEvent(const XEvent& event, int opcode) {
    return event.type == GenericEvent && event.xcookie.extension == opcode &&
           (event.xcookie.evtype == XI_RawKeyPress || event.xcookie.evtype == XI_RawKeyRelease);
}

// Every keycode whose mapping holds one of the keysyms, whichever level or group.
std::vector<int> KeycodesOf(Display* display, const std::vector<KeySym>& wanted) {
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

// The keysyms of a virtual key; both sides of a modifier count as the one key.
std::vector<KeySym> KeysymsOf(int virtualKey) {
    if (virtualKey == kVirtualKeyShift) return {XK_Shift_L, XK_Shift_R};
    if (virtualKey == kVirtualKeyControl) return {XK_Control_L, XK_Control_R};
    if (virtualKey == kVirtualKeyAlt) return {XK_Alt_L, XK_Alt_R};
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return {static_cast<KeySym>(XK_a + (virtualKey - 'A')), static_cast<KeySym>(XK_A + (virtualKey - 'A'))};
    if (virtualKey >= '0' && virtualKey <= '9') return {static_cast<KeySym>(XK_0 + (virtualKey - '0'))};
    if (virtualKey >= kVirtualKeyF1 && virtualKey <= kVirtualKeyF24)
        return {static_cast<KeySym>(XK_F1 + (virtualKey - kVirtualKeyF1))};
    return {};
}

// Changes of the keyboard map: a new map (xmodmap) or a new keyboard description (setxkbmap,
// a layout switch that remaps). Without these selected an XKB client hears of neither.
constexpr unsigned int kMapChanges = XkbMapNotifyMask | XkbNewKeyboardNotifyMask;

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

X11Keyboard::X11Keyboard(Display* display, const std::vector<int>& virtualKeys)
    : display_(display), virtualKeys_(virtualKeys) {
    int event = 0, error = 0;
    if (!XQueryExtension(display, "XInputExtension", &opcode_, &event, &error))
        throw Error("the X server has no XInput extension");
    // 2.1 delivers raw events to the root even while another client grabs the keyboard.
    int major = 2, minor = 2;
    if (XIQueryVersion(display, &major, &minor) != Success || major < 2)
        throw Error("the X server lacks XInput 2");

    LookUpKeycodes();
    SelectRawKeys(display, true);
    int xkbOpcode = 0, xkbError = 0, xkbMajor = XkbMajorVersion, xkbMinor = XkbMinorVersion;
    if (XkbQueryExtension(display, &xkbOpcode, &xkbEventBase_, &xkbError, &xkbMajor, &xkbMinor))
        XkbSelectEvents(display, XkbUseCoreKbd, kMapChanges, kMapChanges);
    else
        xkbEventBase_ = -1; // the core MappingNotify still comes

    // The keys already down, once; from here on the raw events say what changes. The snapshot
    // is a round trip: the raw events queued before its answer are in it already.
    char keys[32] = {};
    XQueryKeymap(display_, keys);
    KeyLatch::Snapshot snapshot{};
    for (int i = 0; i < 32; ++i) snapshot[i] = static_cast<std::uint8_t>(keys[i]);
    latch_.Start(snapshot);
    XEvent queued;
    while (XCheckIfEvent(display_, &queued, IsOurs, reinterpret_cast<XPointer>(this)))
        if (IsMapChange(queued)) TakeEvent(queued);
}

X11Keyboard::~X11Keyboard() {
    if (xkbEventBase_ >= 0) XkbSelectEvents(display_, XkbUseCoreKbd, kMapChanges, 0);
    SelectRawKeys(display_, false);
}

bool X11Keyboard::IsMapChange(const XEvent& event) const {
    if (event.type == MappingNotify) return event.xmapping.request != MappingPointer;
    if (xkbEventBase_ < 0 || event.type != xkbEventBase_) return false;
    const int kind = reinterpret_cast<const XkbAnyEvent&>(event).xkb_type;
    return kind == XkbMapNotify || kind == XkbNewKeyboardNotify;
}

void X11Keyboard::LookUpKeycodes() {
    for (int virtualKey : virtualKeys_) latch_.Watch(virtualKey, KeycodesOf(display_, KeysymsOf(virtualKey)));
}

Bool X11Keyboard::IsOurs(Display*, XEvent* event, XPointer keyboard) {
    const auto* self = reinterpret_cast<const X11Keyboard*>(keyboard);
    return IsRawKeyEvent(*event, self->opcode_) || self->IsMapChange(*event) ? True : False;
}

std::int16_t X11Keyboard::GetAsyncKeyState(int virtualKey) {
    if (!caughtUp_) {
        TakeArrivedEvents();
        caughtUp_ = true;
    }
    return latch_.Take(virtualKey);
}

void X11Keyboard::TakeArrivedEvents() {
    // Reads what has arrived, without asking the server anything: a poll while nothing happens
    // is one read that finds nothing.
    if (XEventsQueued(display_, QueuedAfterReading) == 0) return;
    // Only our events, in the order they came: the window's own stay queued for its event loop.
    // A change of map comes before the key events that carry the new codes.
    XEvent event;
    while (XCheckIfEvent(display_, &event, IsOurs, reinterpret_cast<XPointer>(this))) TakeEvent(event);
}

bool X11Keyboard::TakeEvent(XEvent& event) {
    if (IsMapChange(event)) {
        if (event.type == MappingNotify) XRefreshKeyboardMapping(&event.xmapping); // Xlib's own copy
        LookUpKeycodes();
        return true;
    }
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

} // namespace platform::x11
