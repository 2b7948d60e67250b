#include "platform/linux/gui/key_latch.h"

namespace platform::linux_detail {
namespace {
bool InRange(int keycode) { return keycode >= 0 && keycode < 256; }
} // namespace

void KeyLatch::Watch(int virtualKey, const std::vector<int>& keycodes) {
    auto& key = keys_[virtualKey];
    for (int keycode : keycodes)
        if (InRange(keycode)) key.Keycodes.push_back(keycode);
}

void KeyLatch::Begin(const Snapshot& keys) {
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

} // namespace platform::linux_detail
