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
    void Tap(int keycode) {
        latch_.Press(keycode);
        latch_.Release(keycode);
    }
    KeyLatch latch_;
};

const std::int16_t kDown = static_cast<std::int16_t>(0x8000);
const std::int16_t kDownAndPressed = static_cast<std::int16_t>(0x8001);

TEST_F(KeyLatchTest, TapBetweenPollsSetsOnlyTheLowestBitOnce) {
    EXPECT_EQ(latch_.Take(kT), 0);
    Tap(kTCode);
    EXPECT_EQ(latch_.Take(kT), 0x0001);
    EXPECT_EQ(latch_.Take(kT), 0);
}

TEST_F(KeyLatchTest, HeldKeyIsDownOnEveryPollAndPressedOnTheFirst) {
    latch_.Press(kTCode);
    EXPECT_EQ(latch_.Take(kT), kDownAndPressed);
    EXPECT_EQ(latch_.Take(kT), kDown);
    EXPECT_EQ(latch_.Take(kT), kDown);
    latch_.Release(kTCode);
    EXPECT_EQ(latch_.Take(kT), 0);
}

TEST_F(KeyLatchTest, RepeatedTapsBetweenTwoPollsCountOnceAndTapsBetweenEachPollEachCount) {
    for (int i = 0; i < 3; ++i) Tap(kTCode);
    EXPECT_EQ(latch_.Take(kT), 0x0001);
    EXPECT_EQ(latch_.Take(kT), 0);
    for (int i = 0; i < 3; ++i) {
        Tap(kTCode);
        EXPECT_EQ(latch_.Take(kT), 0x0001) << "tap " << i;
    }
}

TEST_F(KeyLatchTest, KeyDownInTheStartingSnapshotIsDownButNotPressedUntilItIsPressedAgain) {
    latch_.Start(Down({kF4Code, kOther}));
    EXPECT_EQ(latch_.Take(kF4), kDown);
    EXPECT_EQ(latch_.Take(kT), 0);
    latch_.Release(kF4Code);
    EXPECT_EQ(latch_.Take(kF4), 0);
    latch_.Press(kF4Code);
    EXPECT_EQ(latch_.Take(kF4), kDownAndPressed);
}

TEST_F(KeyLatchTest, EitherAltIsAltAndEachKeyKeepsItsOwnFlag) {
    latch_.Start(Down({kAltRight}));
    EXPECT_EQ(latch_.Take(kAlt), kDown);
    Tap(kAltLeft);
    EXPECT_EQ(latch_.Take(kAlt), kDownAndPressed) << "the right Alt is still down";
    latch_.Release(kAltRight);
    Tap(kAltLeft);
    Tap(kTCode);
    // Alt's query takes Alt's press only; T's stays for T's own query.
    EXPECT_EQ(latch_.Take(kAlt), 0x0001);
    EXPECT_EQ(latch_.Take(kF4), 0);
    EXPECT_EQ(latch_.Take(kT), 0x0001);
}

TEST_F(KeyLatchTest, OtherKeysAndUnknownCodesLeaveTheWordsAlone) {
    latch_.Press(kOther);
    latch_.Press(-1);
    latch_.Press(300);
    latch_.Release(300);
    EXPECT_EQ(latch_.Take(kT), 0);
    EXPECT_EQ(latch_.Take(kAlt), 0);
    EXPECT_EQ(latch_.Take(0x41), 0);
}

TEST_F(KeyLatchTest, ANewKeyboardMapReplacesTheKeyCodesAndKeepsAPressSeenBefore) {
    constexpr int kNewTCode = 202;
    Tap(kTCode);
    latch_.Watch(kT, {kNewTCode}); // T moved before the poll read the tap
    EXPECT_EQ(latch_.Take(kT), 0x0001);
    // The old code is another key now; the new one is T.
    latch_.Press(kTCode);
    EXPECT_EQ(latch_.Take(kT), 0);
    latch_.Release(kTCode);
    latch_.Press(kNewTCode);
    EXPECT_EQ(latch_.Take(kT), kDownAndPressed);
}

} // namespace
