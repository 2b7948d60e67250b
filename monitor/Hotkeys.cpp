// The keys polled from the whole keyboard: Alt+F4 closes and saves, T pins or releases the window.
#include "monitor/fNevlin.h"

namespace {

constexpr int kVkAlt = 0x12;
constexpr int kVkF4 = 0x73;
constexpr int kVkT = 0x54;

} // namespace

// Both keys down now, or both pressed since their previous poll, make the chord.
void fNevlin::CheckHotkeys() {
    const std::int16_t alt = window_->GetAsyncKeyState(kVkAlt);
    const std::int16_t f4 = window_->GetAsyncKeyState(kVkF4);
    if ((alt & f4) != 0) {
        WindowPosition(*this, true);
        EndProgram(0);
        return;
    }
    if (window_->GetAsyncKeyState(kVkT) != 0) ToggleTopmost();
}

void fNevlin::ToggleTopmost() {
    window_->SetTopmost(!onTop_);
    onTop_ = !onTop_;
}
