// When nevlin's details tip shows, is refreshed and goes, decided from the pointer's comings
// and goings, the presses and the time alone. The window only shows and hides what this decides.
#pragma once

#include <chrono>
#include <optional>

enum class TipAction { None, Show, Refresh, Hide };

class TipDecision {
public:
    using Clock = std::chrono::steady_clock;
    // How long the pointer rests on the panel before the tip shows.
    static constexpr Clock::duration kRest = std::chrono::seconds(1);

    void PointerEntered(Clock::time_point now);
    void PointerLeft();
    // A button pressed on the panel (a drag starts with one): the tip goes and stays away
    // until the pointer comes back.
    void Pressed();

    // What this turn asks of the window. While the pointer is off the panel it asks nothing
    // and needs no time (`now` is asked for only while the pointer is on the panel).
    template <class Now>
    TipAction Next(Now&& now) {
        if (hide_) {
            hide_ = false;
            return TipAction::Hide;
        }
        if (!restSince_) return TipAction::None;
        if (shown_) return TipAction::Refresh;
        if (now() - *restSince_ < kRest) return TipAction::None;
        shown_ = true;
        return TipAction::Show;
    }

    bool Shown() const { return shown_; }
    // Whether the pointer rests on the panel and the tip is not yet shown: turns then need the time.
    bool Waiting() const { return restSince_ && !shown_; }

private:
    void Withdraw();

    std::optional<Clock::time_point> restSince_; // the pointer on the panel, no press since
    bool shown_ = false;
    bool hide_ = false; // the tip shown is to go at the next turn
};
