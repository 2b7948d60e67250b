#include "monitor/DetailsTip.h"

void TipDecision::PointerEntered(Clock::time_point now) {
    if (!restSince_) restSince_ = now;
}

void TipDecision::PointerLeft() { Withdraw(); }

void TipDecision::Pressed() { Withdraw(); }

void TipDecision::Withdraw() {
    restSince_.reset();
    if (shown_) hide_ = true;
    shown_ = false;
}
