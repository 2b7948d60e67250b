#include <gtest/gtest.h>

#include "platform/linux/gui/x11_keyboard.h"
#include "platform/toolkit.h"

using platform::x11::KeyLatch;

namespace {

constexpr int kAlt = platform::kVirtualKeyAlt, kF4 = platform::kVirtualKeyF4, kT = platform::kVirtualKeyT;
constexpr int kAltLeft = 64, kAltRight = 108, kF4Code = 70, kTCode = 28, kOther = 38;

KeyLatch::Snapshot Down(std::initializer_list<int> keycodes) {
    KeyLatch::Snapshot keys{};
    for (int keycode : keycodes) keys[keycode / 8] |= static_cast<std::uint8_t>(1u << (keycode % 8));
    return keys;
}

class KeyLatchTest : public testing::Test {
protected:
    KeyLatchTest() {
        latch_.Watch(kAlt, {kAltLeft, kAltRight});
        latch_.Watch(kF4, {kF4Code});
        latch_.Watch(kT, {kTCode});
    }
    // One query of one key: the snapshot, the events since, the word.
    std::int16_t Poll(int virtualKey, const KeyLatch::Snapshot& keys) {
        latch_.Begin(keys);
        return latch_.Take(virtualKey);
    }
    KeyLatch latch_;
};

const std::int16_t kDown = static_cast<std::int16_t>(0x8000);
const std::int16_t kDownAndPressed = static_cast<std::int16_t>(0x8001);

TEST_F(KeyLatchTest, TapBetweenPollsSetsOnlyTheLowestBitOnce) {
    EXPECT_EQ(Poll(kT, Down({})), 0);
    latch_.Press(kTCode);
    latch_.Release(kTCode);
    EXPECT_EQ(Poll(kT, Down({})), 0x0001);
    EXPECT_EQ(Poll(kT, Down({})), 0);
}

TEST_F(KeyLatchTest, HeldKeyIsDownOnEveryPollAndPressedOnTheFirst) {
    latch_.Press(kTCode);
    EXPECT_EQ(Poll(kT, Down({kTCode})), kDownAndPressed);
    EXPECT_EQ(Poll(kT, Down({kTCode})), kDown);
    EXPECT_EQ(Poll(kT, Down({kTCode})), kDown);
    latch_.Release(kTCode);
    EXPECT_EQ(Poll(kT, Down({})), 0);
}

TEST_F(KeyLatchTest, RepeatedTapsBetweenTwoPollsCountOnceAndTapsBetweenEachPollEachCount) {
    for (int i = 0; i < 3; ++i) {
        latch_.Press(kTCode);
        latch_.Release(kTCode);
    }
    EXPECT_EQ(Poll(kT, Down({})), 0x0001);
    EXPECT_EQ(Poll(kT, Down({})), 0);
    for (int i = 0; i < 3; ++i) {
        latch_.Press(kTCode);
        latch_.Release(kTCode);
        EXPECT_EQ(Poll(kT, Down({})), 0x0001) << "tap " << i;
    }
}

TEST_F(KeyLatchTest, KeyHeldAtStartIsDownButNotPressedUntilItIsPressedAgain) {
    EXPECT_EQ(Poll(kF4, Down({kF4Code})), kDown);
    latch_.Release(kF4Code);
    EXPECT_EQ(Poll(kF4, Down({})), 0);
    latch_.Press(kF4Code);
    EXPECT_EQ(Poll(kF4, Down({kF4Code})), kDownAndPressed);
}

TEST_F(KeyLatchTest, EventsAfterTheSnapshotDecideTheState) {
    // Pressed after the snapshot was taken: down now, and pressed.
    latch_.Begin(Down({}));
    latch_.Press(kTCode);
    EXPECT_EQ(latch_.Take(kT), kDownAndPressed);
    // Released after the snapshot: up now, the press still counts until taken.
    latch_.Press(kF4Code);
    latch_.Begin(Down({kF4Code}));
    latch_.Release(kF4Code);
    EXPECT_EQ(latch_.Take(kF4), 0x0001);
}

TEST_F(KeyLatchTest, EitherAltIsAltAndEachKeyKeepsItsOwnFlag) {
    EXPECT_EQ(Poll(kAlt, Down({kAltRight})), kDown);
    latch_.Press(kAltLeft);
    latch_.Release(kAltLeft);
    latch_.Press(kTCode);
    latch_.Release(kTCode);
    // Alt's query takes Alt's press only; T's stays for T's own query.
    EXPECT_EQ(Poll(kAlt, Down({})), 0x0001);
    EXPECT_EQ(Poll(kF4, Down({})), 0);
    EXPECT_EQ(Poll(kT, Down({})), 0x0001);
}

TEST_F(KeyLatchTest, OtherKeysAndUnknownCodesLeaveTheWordsAlone) {
    latch_.Press(kOther);
    latch_.Press(-1);
    latch_.Press(300);
    latch_.Release(300);
    EXPECT_EQ(Poll(kT, Down({kOther})), 0);
    EXPECT_EQ(Poll(kAlt, Down({kOther})), 0);
    EXPECT_EQ(Poll(0x41, Down({kOther})), 0);
}

} // namespace

TEST_F(KeyLatchTest, ANewKeyboardMapReplacesTheKeyCodesAndKeepsAPressSeenBefore) {
    constexpr int kNewTCode = 202;
    latch_.Press(kTCode);
    latch_.Release(kTCode);
    latch_.Watch(kT, {kNewTCode}); // T moved before the poll read the tap
    EXPECT_EQ(Poll(kT, Down({})), 0x0001);
    // The old code is another key now; the new one is T.
    latch_.Press(kTCode);
    EXPECT_EQ(Poll(kT, Down({kTCode})), 0);
    latch_.Release(kTCode);
    latch_.Press(kNewTCode);
    EXPECT_EQ(Poll(kT, Down({kNewTCode})), kDownAndPressed);
}
