// The seat's keyboard as the panel sees it: the compositor's keymap read with xkbcommon, and key
// state words for the virtual keys the program asks about. Wayland sends a client only the keys
// typed while one of its surfaces has the keyboard focus, so these are the panel's keys only.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace platform::wayland {

class KeyboardState {
public:
    KeyboardState();
    ~KeyboardState();
    KeyboardState(const KeyboardState&) = delete;
    KeyboardState& operator=(const KeyboardState&) = delete;

    // The virtual keys to follow (letters, digits, F1-F24, Shift, Ctrl, Alt); every other reads 0.
    void Watch(const std::vector<int>& virtualKeys);
    // A keymap in xkbcommon's text form; the keys' codes are looked up in it again. A press
    // already seen still counts. False, and the old map kept, when it does not compile.
    bool SetKeymap(const std::string& text);

    // Events in xkb key codes (the kernel's code + 8), in the order the compositor sent them.
    void Enter(const std::vector<std::uint32_t>& keysDown);
    void Leave(); // every key reads up; presses already seen still count
    void Key(std::uint32_t keycode, bool down);
    // Modifiers count as their keys too: a virtual keyboard may set Alt without a key event.
    void Modifiers(std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked, std::uint32_t group);

    // 0x8000 while the key is down, 0x0001 when it was pressed since this key's previous word.
    std::int16_t Take(int virtualKey);
    // 1 Shift, 2 Ctrl, 4 Alt, as the modifiers stand.
    int Shift() const;

private:
    struct Watched {
        std::vector<std::uint32_t> Keycodes;
        const char* Modifier = nullptr; // xkb's name of the modifier the key sets, if any
        bool ModifierDown = false;
        bool Pressed = false;
    };
    void LookUpKeycodes();

    xkb_context* context_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
    xkb_state* state_ = nullptr;
    std::map<int, Watched> keys_; // by virtual key
    std::set<std::uint32_t> down_;
};

} // namespace platform::wayland
