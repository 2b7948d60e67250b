// The power query's answer on Linux when the supply listing can or cannot be read.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/power_status.h"
#include "tests/statuswriter/temp_folder.h"

namespace {

// Points the query at `directory` for the life of the object.
class SupplyDirectory {
public:
    explicit SupplyDirectory(const std::string& directory) { ::setenv("OSTRAVEL_POWER_SUPPLY_DIR", directory.c_str(), 1); }
    ~SupplyDirectory() { ::unsetenv("OSTRAVEL_POWER_SUPPLY_DIR"); }
};

} // namespace

TEST(LinuxPowerQuery, AMissingListingFailsWithTheSystemsReasonAndLeavesTheRecord) {
    TempFolder folder;
    SupplyDirectory supplies(folder.PathOf("absent"));
    platform::SYSTEM_POWER_STATUS status{7, 7, 7, 0, 7, 7};
    std::string failure = "untouched";
    EXPECT_EQ(platform::GetSystemPowerStatus(&status, &failure), 0);
    EXPECT_EQ(failure, "No such file or directory");
    EXPECT_EQ(status.ACLineStatus, 7);
    EXPECT_EQ(status.BatteryLifeTime, 7);
    EXPECT_EQ(platform::GetSystemPowerStatus(&status), 0) << "the reason is optional";
}

TEST(LinuxPowerQuery, AnEmptyListingAnswersNoBatteryAndLeavesTheReasonAlone) {
    TempFolder folder;
    SupplyDirectory supplies(folder.Path().string());
    platform::SYSTEM_POWER_STATUS status{};
    std::string failure = "untouched";
    EXPECT_NE(platform::GetSystemPowerStatus(&status, &failure), 0);
    EXPECT_EQ(failure, "untouched");
    EXPECT_EQ(status.BatteryFlag, platform::kBatteryFlagNoBattery);
    EXPECT_EQ(status.BatteryLifePercent, platform::kUnknownByte);
    EXPECT_EQ(status.BatteryLifeTime, platform::kUnknownTime);
}
