// The seat's keyboard as the panel sees it: the compositor's keymap read with xkbcommon, and key
// state words for the virtual keys the program asks about.
#include "platform/linux/wayland/wayland_keyboard.h"

#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cstdarg>

#include "platform/toolkit.h"

namespace platform::wayland {

namespace {

// The keysyms of a virtual key; both sides of a modifier count as the one key.
std::vector<xkb_keysym_t> KeysymsOf(int virtualKey) {
    if (virtualKey == kVirtualKeyShift) return {XKB_KEY_Shift_L, XKB_KEY_Shift_R};
    if (virtualKey == kVirtualKeyControl) return {XKB_KEY_Control_L, XKB_KEY_Control_R};
    if (virtualKey == kVirtualKeyAlt) return {XKB_KEY_Alt_L, XKB_KEY_Alt_R};
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return {static_cast<xkb_keysym_t>(XKB_KEY_a + (virtualKey - 'A')),
                static_cast<xkb_keysym_t>(XKB_KEY_A + (virtualKey - 'A'))};
    if (virtualKey >= '0' && virtualKey <= '9') return {static_cast<xkb_keysym_t>(XKB_KEY_0 + (virtualKey - '0'))};
    if (virtualKey >= kVirtualKeyF1 && virtualKey <= kVirtualKeyF24)
        return {static_cast<xkb_keysym_t>(XKB_KEY_F1 + (virtualKey - kVirtualKeyF1))};
    return {};
}

const char* ModifierOf(int virtualKey) {
    if (virtualKey == kVirtualKeyShift) return XKB_MOD_NAME_SHIFT;
    if (virtualKey == kVirtualKeyControl) return XKB_MOD_NAME_CTRL;
    if (virtualKey == kVirtualKeyAlt) return XKB_MOD_NAME_ALT;
    return nullptr;
}

// Every key code whose mapping holds one of the keysyms, whichever level or layout.
std::vector<std::uint32_t> KeycodesOf(xkb_keymap* keymap, const std::vector<xkb_keysym_t>& wanted) {
    std::vector<std::uint32_t> keycodes;
    if (!keymap || wanted.empty()) return keycodes;
    const xkb_keycode_t first = xkb_keymap_min_keycode(keymap), last = xkb_keymap_max_keycode(keymap);
    for (xkb_keycode_t keycode = first; keycode <= last; ++keycode) {
        bool matches = false;
        const xkb_layout_index_t layouts = xkb_keymap_num_layouts_for_key(keymap, keycode);
        for (xkb_layout_index_t layout = 0; layout < layouts && !matches; ++layout) {
            const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap, keycode, layout);
            for (xkb_level_index_t level = 0; level < levels && !matches; ++level) {
                const xkb_keysym_t* syms = nullptr;
                const int count = xkb_keymap_key_get_syms_by_level(keymap, keycode, layout, level, &syms);
                for (int i = 0; i < count && !matches; ++i)
                    matches = std::find(wanted.begin(), wanted.end(), syms[i]) != wanted.end();
            }
        }
        if (matches) keycodes.push_back(keycode);
    }
    return keycodes;
}

} // namespace

KeyboardState::KeyboardState() : context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {
    // A keymap that does not compile is answered by SetKeymap; xkbcommon would print it too.
    if (context_) xkb_context_set_log_fn(context_, [](xkb_context*, xkb_log_level, const char*, va_list) {});
}

KeyboardState::~KeyboardState() {
    xkb_state_unref(state_);
    xkb_keymap_unref(keymap_);
    xkb_context_unref(context_);
}

void KeyboardState::Watch(const std::vector<int>& virtualKeys) {
    for (int virtualKey : virtualKeys) keys_[virtualKey].Modifier = ModifierOf(virtualKey);
    LookUpKeycodes();
}

bool KeyboardState::SetKeymap(const std::string& text) {
    if (!context_) return false;
    xkb_keymap* keymap =
        xkb_keymap_new_from_string(context_, text.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!keymap) return false;
    xkb_state* state = xkb_state_new(keymap);
    if (!state) {
        xkb_keymap_unref(keymap);
        return false;
    }
    xkb_state_unref(state_);
    xkb_keymap_unref(keymap_);
    keymap_ = keymap;
    state_ = state;
    LookUpKeycodes();
    return true;
}

void KeyboardState::LookUpKeycodes() {
    for (auto& [virtualKey, key] : keys_) key.Keycodes = KeycodesOf(keymap_, KeysymsOf(virtualKey));
}

void KeyboardState::Enter(const std::vector<std::uint32_t>& keysDown) {
    down_.clear();
    down_.insert(keysDown.begin(), keysDown.end());
}

void KeyboardState::Leave() {
    down_.clear();
    for (auto& [virtualKey, key] : keys_) key.ModifierDown = false;
}

void KeyboardState::Key(std::uint32_t keycode, bool down) {
    if (!down) {
        down_.erase(keycode);
        return;
    }
    down_.insert(keycode);
    for (auto& [virtualKey, key] : keys_)
        if (std::find(key.Keycodes.begin(), key.Keycodes.end(), keycode) != key.Keycodes.end()) key.Pressed = true;
}

void KeyboardState::Modifiers(std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked,
                              std::uint32_t group) {
    if (!state_) return;
    xkb_state_update_mask(state_, depressed, latched, locked, 0, 0, group);
    for (auto& [virtualKey, key] : keys_) {
        if (!key.Modifier) continue;
        const bool down = xkb_state_mod_name_is_active(state_, key.Modifier, XKB_STATE_MODS_DEPRESSED) > 0;
        if (down && !key.ModifierDown) key.Pressed = true;
        key.ModifierDown = down;
    }
}

std::int16_t KeyboardState::Take(int virtualKey) {
    auto found = keys_.find(virtualKey);
    if (found == keys_.end()) return 0;
    Watched& key = found->second;
    bool down = key.ModifierDown;
    for (std::uint32_t keycode : key.Keycodes) down = down || down_.count(keycode) > 0;
    const std::uint16_t word = (down ? 0x8000u : 0u) | (key.Pressed ? 0x0001u : 0u);
    key.Pressed = false;
    return static_cast<std::int16_t>(word);
}

int KeyboardState::Shift() const {
    if (!state_) return 0;
    const auto active = [this](const char* name) {
        return xkb_state_mod_name_is_active(state_, name, XKB_STATE_MODS_EFFECTIVE) > 0;
    };
    return (active(XKB_MOD_NAME_SHIFT) ? 1 : 0) | (active(XKB_MOD_NAME_CTRL) ? 2 : 0) |
           (active(XKB_MOD_NAME_ALT) ? 4 : 0);
}

} // namespace platform::wayland
