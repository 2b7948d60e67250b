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

TEST(LinuxPowerQuery, AMissingListingFailsNamingItWithTheSystemsReasonAndLeavesTheRecord) {
    TempFolder folder;
    const std::string absent = folder.PathOf("absent");
    SupplyDirectory supplies(absent);
    platform::SYSTEM_POWER_STATUS status{7, 7, 7, 0, 7, 7};
    const auto read = platform::GetSystemPowerStatus(&status);
    EXPECT_FALSE(read.Ok());
    EXPECT_EQ(read.Reason(), "\"" + absent + "\": No such file or directory");
    EXPECT_EQ(status.ACLineStatus, 7);
    EXPECT_EQ(status.BatteryLifeTime, 7);
}

TEST(LinuxPowerQuery, AnEmptyListingAnswersNoBattery) {
    TempFolder folder;
    SupplyDirectory supplies(folder.Path().string());
    platform::SYSTEM_POWER_STATUS status{};
    EXPECT_TRUE(platform::GetSystemPowerStatus(&status).Ok());
    EXPECT_EQ(status.BatteryFlag, platform::kBatteryFlagNoBattery);
    EXPECT_EQ(status.BatteryLifePercent, platform::kUnknownByte);
    EXPECT_EQ(status.BatteryLifeTime, platform::kUnknownTime);
}
