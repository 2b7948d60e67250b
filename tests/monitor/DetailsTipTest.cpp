// When the details tip shows, is refreshed and goes, on a clock the test moves.
#include <gtest/gtest.h>

#include "monitor/DetailsTip.h"

namespace {

using namespace std::chrono_literals;
using Clock = TipDecision::Clock;

struct TipTest : ::testing::Test {
    TipDecision tip;
    Clock::time_point now{};
    int clockReads = 0;
    TipAction Next() {
        return tip.Next([this] {
            ++clockReads;
            return now;
        });
    }
};

TEST_F(TipTest, ShowsAfterOneSecondOfRestAndIsRefreshedUntilThePointerLeaves) {
    EXPECT_EQ(Next(), TipAction::None);
    EXPECT_EQ(clockReads, 0) << "a turn with the pointer away needs no time";
    tip.PointerEntered(now);
    now += 999ms;
    tip.PointerEntered(now); // entering again while on it starts no new rest
    EXPECT_EQ(Next(), TipAction::None);
    now += 1ms;
    EXPECT_EQ(Next(), TipAction::Show);
    EXPECT_EQ(Next(), TipAction::Refresh);
    tip.PointerLeft();
    EXPECT_EQ(Next(), TipAction::Hide);
    EXPECT_EQ(Next(), TipAction::None);
    tip.PointerLeft();
    EXPECT_EQ(Next(), TipAction::None) << "nothing shown, nothing to hide";
}

TEST_F(TipTest, APressTakesTheTipAwayUntilThePointerComesBack) {
    tip.PointerEntered(now);
    now += 2s;
    ASSERT_EQ(Next(), TipAction::Show);
    tip.Pressed();
    EXPECT_EQ(Next(), TipAction::Hide);
    now += 5s;
    EXPECT_EQ(Next(), TipAction::None);

    tip.PointerEntered(now); // back: a fresh rest
    now += 500ms;
    tip.Pressed(); // a press before the second is up
    now += 5s;
    EXPECT_EQ(Next(), TipAction::None);
    tip.PointerLeft();
    tip.PointerEntered(now);
    now += 1s;
    EXPECT_EQ(Next(), TipAction::Show);
}

} // namespace
