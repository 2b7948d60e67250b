// When the details tip shows, is refreshed and goes, on a clock the test moves.
#include <gtest/gtest.h>

#include <algorithm>

#include "Fakes.h"
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

// The window's part: the details read and drawn only while the tip shows, and a press that
// takes the tip away before the drag it starts.
TEST(WindowTip, ShowsTheDetailsInRussianRedrawsThemOnlyWhenChangedAndGoesBeforeADrag) {
    fakes::Harness h;
    h.Power = fakes::Reading(0, 0, 66, 11880);
    h.Form->PointerEntered();
    h.Form->Turn();
    EXPECT_EQ(h.DetailsReads, 0);
    h.Now += 1s;
    h.Form->Turn();
    ASSERT_EQ(h.Window->Tips.size(), 1u);
    EXPECT_EQ(h.Window->Tips[0],
              platform::DetailsLines(platform::DetailsOfRecord(h.Power), platform::DetailsLanguage::Russian));
    h.Form->Turn();
    EXPECT_EQ(h.DetailsReads, 2) << "read anew while shown";
    EXPECT_EQ(h.Queries, 2) << "while the tip shows, its reading gives the record too";
    EXPECT_EQ(h.Window->Tips.size(), 1u) << "the same lines are not drawn again";
    h.Power = fakes::Reading(0, 0, 65, 11000);
    h.Form->Turn();
    EXPECT_EQ(h.Window->Tips.size(), 2u);
    EXPECT_EQ(h.Form->Controls().Label1.Caption, "65");

    h.Form->MouseDown(platform::kButtonLeft, 0, 0, 0); // the bare panel's corner: a drag
    const auto& calls = h.Window->Calls;
    const auto hide = std::find(calls.begin(), calls.end(), "HideTip");
    EXPECT_LT(hide, std::find(calls.begin(), calls.end(), "BeginMove(1)"));
    h.Now += 5s;
    h.Form->Turn();
    EXPECT_EQ(h.Window->Tips.size(), 2u);
    EXPECT_EQ(h.DetailsReads, 3);
}

} // namespace
