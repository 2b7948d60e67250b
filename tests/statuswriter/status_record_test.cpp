#include "statuswriter/status_record.h"

#include <gtest/gtest.h>

using Battery::BuildStatusRecord;
using platform::SYSTEM_POWER_STATUS;

namespace {

SYSTEM_POWER_STATUS Status(std::uint8_t ac, std::uint8_t flag, std::uint8_t percent, std::int32_t left,
                           std::int32_t full) {
    SYSTEM_POWER_STATUS status{};
    status.ACLineStatus = ac;
    status.BatteryFlag = flag;
    status.BatteryLifePercent = percent;
    status.Reserved1 = 77; // never written
    status.BatteryLifeTime = left;
    status.BatteryFullLifeTime = full;
    return status;
}

} // namespace

TEST(StatusRecord, FieldsComeInRecordOrderNotSnapshotOrder) {
    EXPECT_EQ(BuildStatusRecord(Status(1, 9, 87, -1, -1), true), "1#-1#-1#9#87#");
    EXPECT_EQ(BuildStatusRecord(Status(0, 1, 75, 5400, -1), true), "0#-1#5400#1#75#");
    EXPECT_EQ(BuildStatusRecord(Status(0, 1, 75, 10800, 14400), true), "0#14400#10800#1#75#");
}

TEST(StatusRecord, AFailedQueryWritesMinusOneAndKeepsTheOtherFields) {
    EXPECT_EQ(BuildStatusRecord(SYSTEM_POWER_STATUS{}, false), "-1#0#0#0#0#");
    EXPECT_EQ(BuildStatusRecord(Status(0, 1, 75, 10800, 14400), false), "-1#14400#10800#1#75#");
    EXPECT_EQ(BuildStatusRecord(Status(255, 255, 255, -1, -1), false), "-1#-1#-1#255#255#");
}

TEST(StatusRecord, ExtremesKeepTheirPlainDecimalForm) {
    EXPECT_EQ(BuildStatusRecord(SYSTEM_POWER_STATUS{}, true), "0#0#0#0#0#");
    EXPECT_EQ(BuildStatusRecord(Status(255, 255, 255, -1, -1), true), "255#-1#-1#255#255#");
    EXPECT_EQ(BuildStatusRecord(Status(128, 128, 100, 2147483647, 2147483647), true),
              "128#2147483647#2147483647#128#100#");
    const std::string longest = BuildStatusRecord(Status(255, 255, 255, -2147483647 - 1, -2147483647 - 1), true);
    EXPECT_EQ(longest, "255#-2147483648#-2147483648#255#255#");
    EXPECT_EQ(longest.size(), 36u);
}
