// The details over checked-in trees, the same from uevent files and from attribute files, and
// the time to full worked out by hand (each battery's values: details_json_test.cpp); and the
// details' text lines in both languages.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/linux/power_supply_directory.h"
#include "power_record.h"
#include "shown_details.h"

namespace platform::linux_detail {
namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = OSTRAVEL_POWER_FIXTURES;

PowerDetails Details(const std::string& tree) {
    const Result<PowerDetails> read = ReadPowerDetails((kFixtures / tree).c_str());
    EXPECT_TRUE(read.Ok()) << tree << ": " << read.Reason();
    return read.Ok() ? *read : PowerDetails{};
}

TEST(Details, EveryTreeGivesTheSameDetailsInBothFormsAndTheQuerysRecord) {
    int pairs = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(kFixtures)) {
        const std::string files = entry.path().filename();
        if (!files.ends_with("_files")) continue;
        const std::string uevent = files.substr(0, files.size() - 6);
        const PowerDetails details = Details(uevent);
        EXPECT_EQ(ShownDetails(details), ShownDetails(Details(files))) << uevent;
        SYSTEM_POWER_STATUS status{};
        ASSERT_TRUE(ReadPowerStatus((kFixtures / uevent).c_str(), &status).Ok());
        EXPECT_EQ(details.record, status) << uevent;
        ++pairs;
    }
    EXPECT_GE(pairs, 36);
}

TEST(Details, TimeToFullFollowsTheChargeRateElseTheKernelsEstimate) {
    // 20 Wh missing at 16 W: 4500 s, though the kernel says 3000.
    const PowerDetails rate = Details("charging_rate");
    EXPECT_TRUE(rate.charging);
    EXPECT_EQ(rate.secondsToFull, 4500);
    EXPECT_DOUBLE_EQ(rate.drawWatts.value_or(-1), 16.0);
    ASSERT_EQ(rate.batteries.size(), 1u);
    EXPECT_NEAR(rate.batteries[0].healthPercent.value_or(-1), 83.333, 0.001);

    // A current of 0 gives no rate: the kernel's average of 2700 s. The battery's own draw is 0 W.
    const PowerDetails kernel = Details("charging_kernel_estimate");
    EXPECT_EQ(kernel.secondsToFull, 2700);
    EXPECT_EQ(kernel.drawWatts, std::nullopt);
    ASSERT_EQ(kernel.batteries.size(), 1u);
    EXPECT_EQ(kernel.batteries[0].drawWatts, 0.0);
    EXPECT_EQ(kernel.batteries[0].energyFullDesignWh, std::nullopt);

    // The gauge's 65535 is no estimate; the record's mains and no battery leave nothing to tell.
    EXPECT_EQ(Details("gauge_not_available").secondsToFull, std::nullopt);
    const PowerDetails none = Details("no_battery");
    EXPECT_TRUE(none.noBattery);
    EXPECT_TRUE(none.batteries.empty());
}

TEST(DetailsLines, OneLayoutInEitherLanguage) {
    PowerDetails details = DetailsOfRecord(Record(1, 8, 60, -1, -1));
    details.secondsToFull = 4500;
    details.drawWatts = 16.04;
    BatteryDetails battery;
    battery.name = "BAT0";
    battery.state = BatteryState::Charging;
    battery.percent = 60;
    battery.model = "5B10W13930";
    battery.energyFullWh = 50;
    battery.healthPercent = 83.333;
    details.batteries.push_back(battery);
    EXPECT_EQ(DetailsLines(details, DetailsLanguage::English),
              (std::vector<std::string>{"On mains, charging: 60%, full in 1 h 15 min, drawing 16.0 W",
                                        "BAT0: charging, 60%", "  5B10W13930", "  full 50.0 Wh, health 83.3%"}));
    EXPECT_EQ(DetailsLines(details, DetailsLanguage::Russian),
              (std::vector<std::string>{"От сети, зарядка: 60 %, до полной 1 ч. 15 м., расход 16,0 Вт",
                                        "BAT0: заряжается, 60 %", "  5B10W13930",
                                        "  полная 50,0 Вт·ч, здоровье 83,3 %"}));
    EXPECT_EQ(DetailsLines(DetailsOfRecord(Record(255, 255, 255, -1, -1)), DetailsLanguage::English),
              std::vector<std::string>{"Power source unknown: charge unknown"});
}

} // namespace
} // namespace platform::linux_detail
