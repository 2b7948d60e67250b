// The keys polled at the start of every turn, and the on-top state they flip.
#include <gtest/gtest.h>

#include "tests/monitor/Fakes.h"

namespace {

constexpr int kAlt = platform::kVirtualKeyAlt;
constexpr int kF4 = platform::kVirtualKeyF4;
constexpr int kT = platform::kVirtualKeyT;

constexpr std::int16_t kDown = -32768; // 0x8000
constexpr std::int16_t kPressedSinceLastPoll = 0x0001;
constexpr std::int16_t kDownAndPressed = -32767; // 0x8001

struct Keys {
    std::int16_t alt;
    std::int16_t f4;
    std::int16_t t;
};

struct Poll {
    std::unique_ptr<fakes::Harness> harness = std::make_unique<fakes::Harness>();
    TurnOutcome outcome;

    explicit Poll(Keys keys) {
        harness->Window->CurrentPlacement = {100, 200, 1680, 630};
        harness->Window->KeyWords = {{kAlt, {keys.alt}}, {kF4, {keys.f4}}, {kT, {keys.t}}};
        outcome = harness->Form->Turn();
    }
    bool Closed() const { return outcome.ProgramEnded && outcome.ExitStatus == 0; }
    bool Saved() const { return harness->Settings->SavedKeys.size() == 4; }
    const std::vector<int>& KeysRead() const { return harness->Window->KeysRead; }
};

TEST(CheckHotkeys, TheChordSavesAndEndsBeforeAnythingElseOfTheTurn) {
    for (const Keys keys : {Keys{kDown, kDown, 0}, Keys{kPressedSinceLastPoll, kPressedSinceLastPoll, 0},
                            Keys{kDownAndPressed, kPressedSinceLastPoll, 0}, Keys{kDown, kDown, kDown}}) {
        SCOPED_TRACE(testing::Message() << keys.alt << " " << keys.f4 << " " << keys.t);
        Poll poll(keys);
        EXPECT_TRUE(poll.Closed());
        EXPECT_TRUE(poll.Saved());
        EXPECT_EQ(poll.harness->Settings->Placement("Top"), "200");
        EXPECT_EQ(poll.KeysRead(), (std::vector<int>{kAlt, kF4})) << "T is not read";
        EXPECT_EQ(poll.harness->Queries, 0);
        EXPECT_EQ(poll.harness->Window->Calls, std::vector<std::string>{}) << "no toggle, no event pass";
    }
}

TEST(CheckHotkeys, WordsWithoutACommonBitAreNoChord) {
    for (const Keys keys : {Keys{kDown, 0, 0}, Keys{0, kDown, 0}, Keys{kPressedSinceLastPoll, 0, 0},
                            Keys{kDown, kPressedSinceLastPoll, 0}}) {
        SCOPED_TRACE(testing::Message() << keys.alt << " " << keys.f4);
        Poll poll(keys);
        EXPECT_FALSE(poll.outcome.ProgramEnded);
        EXPECT_FALSE(poll.Saved());
        EXPECT_EQ(poll.KeysRead(), (std::vector<int>{kAlt, kF4, kT}));
        EXPECT_FALSE(poll.harness->Form->OnTop());
        EXPECT_EQ(poll.harness->Queries, 1);
    }
}

TEST(CheckHotkeys, AnyNonZeroWordOfTFlipsTheOnTopState) {
    for (const std::int16_t t : {kDown, kPressedSinceLastPoll, kDownAndPressed}) {
        Poll poll({kDown, 0, t});
        EXPECT_TRUE(poll.harness->Form->OnTop()) << t;
        EXPECT_EQ(poll.harness->Window->Calls.front(), "SetTopmost(true)");
    }
}

TEST(CheckHotkeys, AChordWhileMinimisedEndsWithoutSaving) {
    fakes::Harness harness;
    harness.Window->CurrentState = platform::WindowState::Minimized;
    harness.Window->KeyWords = {{kAlt, {kDown}}, {kF4, {kDown}}};
    const TurnOutcome outcome = harness.Form->Turn();
    EXPECT_TRUE(outcome.ProgramEnded);
    EXPECT_EQ(outcome.ExitStatus, 0);
    EXPECT_TRUE(harness.Settings->Values.empty());
}

TEST(ToggleTopmost, StartsPinnedAndTwoTsReturnToPinned) {
    fakes::Harness harness;
    fakes::FakeWindow& window = *harness.Window;
    harness.Form->ToggleTopmost(); // the start-up call
    window.KeyWords[kT] = {kPressedSinceLastPoll, kDown};
    harness.Form->Turn();
    EXPECT_FALSE(harness.Form->OnTop());
    harness.Form->Turn();
    EXPECT_TRUE(harness.Form->OnTop());
    harness.Form->Turn(); // T no longer pressed
    EXPECT_TRUE(harness.Form->OnTop());
    std::vector<std::string> toggles;
    for (const std::string& call : window.Calls)
        if (call.rfind("SetTopmost", 0) == 0) toggles.push_back(call);
    EXPECT_EQ(toggles, (std::vector<std::string>{"SetTopmost(true)", "SetTopmost(false)", "SetTopmost(true)"}));
}

} // namespace
