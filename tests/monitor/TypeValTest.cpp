// The power-state text and the one picture shown with it.
#include <gtest/gtest.h>

#include "tests/monitor/Fakes.h"

namespace {

struct Case {
    int stval;
    int flgval;
    std::int32_t secval;
    const char* text;
    const char* pictures; // visibility of Image1 0, 1, 2
};

void ExpectAll(const std::vector<Case>& cases) {
    fakes::Harness harness;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "stval " << c.stval << ", flgval " << c.flgval << ", secval " << c.secval);
        EXPECT_EQ(harness.Form->TypeVal(static_cast<std::uint8_t>(c.stval), static_cast<std::uint8_t>(c.flgval),
                                        c.secval),
                  c.text);
        EXPECT_EQ(harness.VisiblePictures(), c.pictures);
    }
}

// A flag is charging when its charging bit is set below "no battery": 8 to 15 cover every
// combination with the high, low and critical bits, so 13 (charging, high, critical) and 14
// (charging, low and critical together, below 5 %) are charging too.
TEST(TypeVal, OnMainsEveryChargingFlagShowsTheChargingPicture) {
    std::vector<Case> cases;
    for (int flag = 8; flag <= 15; ++flag) cases.push_back({1, flag, -1, "Зарядка", "100"});
    cases.push_back({255, 14, -1, "Зарядка", "100"}); // unknown mains state counts as mains
    ExpectAll(cases);
}

TEST(TypeVal, OnMainsWithoutTheChargingBitOrWithoutBatteryShowsTheMainsPicture) {
    ExpectAll({
        {1, 0, -1, "От сети", "010"},
        {1, 1, 3600, "От сети", "010"}, // time left is for batteries only
        {1, 7, -1, "От сети", "010"},
        {1, 128, -1, "От сети", "010"},
        {1, 136, -1, "От сети", "010"}, // no battery, whatever else is set
        {1, 255, -1, "От сети", "010"},
        {255, 255, -1, "От сети", "010"},
    });
}

TEST(TypeVal, OnBatteryTheTimeLeftIsHoursAndTwoDigitMinutesWithSecondsDropped) {
    ExpectAll({
        {0, 1, 3600, "1 ч. 00 м.", "001"},
        {0, 1, 3599, "0 ч. 59 м.", "001"},
        {0, 1, 59, "0 ч. 00 м.", "001"},
        {0, 1, 7380, "2 ч. 03 м.", "001"},
        {0, 2, 36000, "10 ч. 00 м.", "001"},
        {0, 8, 60, "0 ч. 01 м.", "001"},                      // a charging bit off mains is not charging
        {0, 1, 2147483647, "596523 ч. 14 м.", "001"}, // 596523 h = 2147482800 s, 847 s left over
    });
}

TEST(TypeVal, OnBatteryWithNoTimeLeftKnownSaysOnBattery) {
    ExpectAll({
        {0, 1, 0, "От батареи", "001"},
        {0, 1, -1, "От батареи", "001"},
        {0, 255, -2, "От батареи", "001"},
    });
}

TEST(TypeVal, EachCallLeavesExactlyOnePictureWhateverCameBefore) {
    ExpectAll({
        {1, 14, -1, "Зарядка", "100"},
        {0, 1, -1, "От батареи", "001"},
        {1, 1, -1, "От сети", "010"},
        {1, 8, -1, "Зарядка", "100"},
        {1, 1, -1, "От сети", "010"},
    });
}

} // namespace
