// Key state words from a keyboard snapshot and the raw key events that follow it:
// 0x8000 while the key is down, 0x0001 when it was pressed since that key's previous word.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace platform::linux_detail {

class KeyLatch {
public:
    // One bit per keycode, keycode 8 at bit 0 of byte 1 (the layout of XQueryKeymap).
    using Snapshot = std::array<std::uint8_t, 32>;

    // The keycodes that count as one virtual key (both Alt keys are Alt).
    void Watch(int virtualKey, const std::vector<int>& keycodes);

    // Starts a poll: which keys are down now.
    void Begin(const Snapshot& keys);
    // Raw events taken after the snapshot, in the order they happened.
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

} // namespace platform::linux_detail
