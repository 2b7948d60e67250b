// Whole queries over checked-in power-supply trees, in uevent form and as
// attribute files, and over trees that change between queries.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/linux/power_supply_directory.h"
#include "platform/linux/power_supply_reader.h"
#include "platform/power_details.h"
#include "power_record.h"

namespace platform::linux_detail {
namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = OSTRAVEL_POWER_FIXTURES;

// A record no query can produce, to see whether a query touched it.
constexpr SYSTEM_POWER_STATUS kUntouched{7, 7, 7, 7, 7, 7};

SYSTEM_POWER_STATUS Query(const fs::path& directory) {
    SYSTEM_POWER_STATUS status = kUntouched;
    EXPECT_TRUE(ReadPowerStatus(directory.c_str(), &status).Ok()) << directory;
    return status;
}

struct FixtureCase {
    const char* name;
    SYSTEM_POWER_STATUS expected;
};

// Worked out by hand from each tree's numbers (µWh, µAh, µW, µA, µV).
const FixtureCase kCases[] = {
    // 33.333333 of 50 Wh at 10 W; the design capacity of 57 Wh plays no part.
    {"energy_only", Record(0, 0, 66, 11999, 18000)},
    // 2 of 4 Ah at the 11.4 V minimum (the live voltage reads 0) and 1.5 A: 22.8 of 45.6 Wh at 17.1 W.
    {"charge_only", Record(0, 0, 50, 4800, 9600)},
    {"capacity_only", Record(1, 8, 45, -1, -1)},
    // 20 of 24 Wh and 10 of 72 Wh at 6 W and |-2| W: 30 of 96 Wh at 8 W.
    {"two_batteries", Record(0, 2, 31, 13500, 43200)},
    // 3 of 5 Ah at 15 V and |-2| A: 45 of 75 Wh at 30 W.
    {"negative_current", Record(0, 0, 60, 5400, 9000)},
    {"zero_rate", Record(0, 0, 50, -1, -1)},
    // 52 Wh counted as the full 50 Wh, at 10 W.
    {"overfull", Record(0, 1, 100, 18000, 18000)},
    {"unknown_on_mains", Record(1, 9, 80, -1, -1)},
    {"unknown_on_mains_full", Record(1, 1, 90, -1, -1)},
    // 10 of 50 Wh at 5 W, no mains supply and the battery discharging.
    {"no_mains", Record(0, 2, 20, 7200, 36000)},
    {"no_mains_not_charging", Record(1, 1, 77, -1, -1)},
    {"no_mains_unknown", Record(255, 0, 50, -1, -1)},
    // 4 of 100 Wh at 8 W; the charging mouse and the tablet's own mains are ignored.
    {"peripheral", Record(0, 6, 4, 1800, 45000)},
    {"no_battery", Record(1, 128, 255, -1, -1)},
    // An empty battery bay and a mouse: as good as nothing.
    {"desktop", Record(1, 128, 255, -1, -1)},
    // Only the charge (1.5 of 3 Ah) survives; the mains' online and every voltage are unusable.
    {"garbage", Record(0, 0, 50, -1, -1)},
    // Two entries vanished before they could be read.
    {"removed", Record(1, 8, 50, -1, -1)},
    // A present battery whose capacity reads -NaN and that has no energy or charge now still counts.
    {"unreadable_level", Record(0, 255, 255, -1, -1)},
    // Fuel gauges that give only a coarse level: Low, and Critical while charging.
    {"coarse_level", Record(0, 2, 255, -1, -1)},
    {"coarse_level_charging", Record(1, 14, 255, -1, -1)},
    // An energy pair beside a charge pair without a voltage: no percentage for the two, so the
    // lower coarse level of the two, Low.
    {"mixed_units_coarse", Record(0, 2, 255, -1, -1)},
    // 50.4 Wh against 10.5 Ah at 12 V (126 Wh), at 12.6 W.
    {"energy_beside_charge", Record(0, 0, 40, 14400, 36000)},
    // 3 Ah at the 14.4 V minimum (43.2 Wh) against 57.6 Wh, at 1.2 A (17.28 W).
    {"charge_beside_energy", Record(0, 1, 75, 9000, 12000)},
    // 20 of 24 Wh, and a capacity of 50 % of 70 Wh: 55 of 94 Wh at 6 + 2 W.
    {"weighed_capacity", Record(0, 0, 58, 24750, 42300)},
    // No draw; the kernel's average estimate of 7200 s, and 7200 × 50 / 40 Wh for a full charge.
    {"kernel_estimate", Record(0, 1, 80, 7200, 9000)},
    // A zero current; the kernel's estimate of now, 5400 s, and 5400 × 4 / 1.2 Ah for a full charge.
    {"kernel_estimate_now", Record(0, 2, 30, 5400, 18000)},
    // A draw of 0.05 W is no usable rate: the kernel's 7200 s stands in, in both forms alike.
    {"kernel_estimate_tiny_draw", Record(0, 1, 80, 7200, 9000)},
    // 35 of 50 Wh at 9 W, and 1 of 2 Ah at 11 V and 0.5 A: 46 of 72 Wh at 14.5 W.
    {"bench", Record(0, 0, 63, 11420, 17875)},
    // Capacity 64 of 45.678901 Wh is 29.23449664 Wh, not rounded down before the share is taken
    // (which gave 63 %); at 10 W that lasts 10524 s, and a full charge 16444 s.
    {"capacity_beside_full", Record(0, 0, 64, 10524, 16444)},
    // energy_now 0 while discharging at capacity 42: 42 % of 50 Wh, 21 Wh, at 8 W (not 0 %, critical).
    {"zero_energy_now", Record(0, 0, 42, 9450, 22500)},
    // 1.1 of 2 Ah; a current and a time to empty of 65535 are "not available", not 0.25 W and 18 h.
    {"gauge_not_available", Record(0, 0, 55, -1, -1)},
    // Type Unknown, discharging, with only averages: 20 of 40 Wh at 1.5 A and 12 V, 18 W.
    {"unknown_type_battery", Record(0, 0, 50, 4000, 8000)},
    // Full at capacity 100 beside 50.16 Wh of 5 Ah at 11.4 V (57 Wh, 88 %): the capacity wins.
    {"cross_unit_capacity", Record(1, 1, 100, -1, -1)},
    // Mains offline and the battery discharging: the USB port's stale online does not count.
    // 30 of 50 Wh at 10 W.
    {"usb_stale_online", Record(0, 0, 60, 10800, 18000)},
    // 20 of 40 Wh, and 2.4 of 3 Ah at 12 V (28.8 of 36 Wh): 48.8 of 76 Wh at 7 + 0.25 × 12 W.
    {"two_batteries_design", Record(0, 0, 64, 17568, 27360)},
    // On mains, charging: no times in the record.
    {"charging_rate", Record(1, 8, 60, -1, -1)},
    {"charging_kernel_estimate", Record(1, 9, 80, -1, -1)},
};

void PrintTo(const FixtureCase& fixture, std::ostream* out) { *out << fixture.name; }

class FixtureTree : public testing::TestWithParam<std::tuple<FixtureCase, const char*>> {};

TEST_P(FixtureTree, GivesTheRecordWorkedOutByHand) {
    const auto& [fixture, form] = GetParam();
    const fs::path directory = kFixtures / (std::string(fixture.name) + form);
    ASSERT_TRUE(fs::is_directory(directory)) << directory;
    EXPECT_EQ(Query(directory), fixture.expected);
}

INSTANTIATE_TEST_SUITE_P(BothForms, FixtureTree,
                         testing::Combine(testing::ValuesIn(kCases), testing::Values("", "_files")),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (*std::get<1>(info.param) ? "_as_files" : "_as_uevent");
                         });

TEST(FixtureTree, UeventWinsAndOnlyTheTypeComesFromItsFile) {
    // The type files say Mains and Battery; the stale capacity and energy files are not read.
    EXPECT_EQ(Query(kFixtures / "old_kernel"), Record(0, 1, 90, -1, -1));
}

TEST(QueryFailure, OnlyAnUnopenableDirectoryFailsAndTheRecordStaysAsItWas) {
    for (const fs::path& directory : {kFixtures / "no_such_directory", kFixtures / "bench" / "AC" / "uevent"}) {
        SYSTEM_POWER_STATUS status = kUntouched;
        EXPECT_FALSE(ReadPowerStatus(directory.c_str(), &status).Ok()) << directory;
        EXPECT_EQ(status, kUntouched) << directory;
    }
    EXPECT_FALSE(ReadPowerStatus(kFixtures.c_str(), nullptr).Ok());
}

class ChangingTree : public testing::Test {
protected:
    void SetUp() override {
        root_ = fs::path(testing::TempDir()) /
                ("ostravel_power_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        fs::copy(kFixtures / "energy_only", root_, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    }
    void TearDown() override { fs::remove_all(root_); }

    void Write(const fs::path& file, const std::string& text) {
        fs::create_directories(root_ / file.parent_path());
        std::ofstream(root_ / file, std::ios::trunc) << text;
    }

    fs::path root_;
};

TEST_F(ChangingTree, EveryQuerySeesTheSuppliesAsTheyAreNow) {
    EXPECT_EQ(Query(root_), Record(0, 0, 66, 11999, 18000));

    Write("AC/uevent", "POWER_SUPPLY_NAME=AC\nPOWER_SUPPLY_TYPE=Mains\nPOWER_SUPPLY_ONLINE=1\n");
    Write("BAT0/uevent", "POWER_SUPPLY_NAME=BAT0\nPOWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_STATUS=Charging\n"
                         "POWER_SUPPLY_ENERGY_FULL=50000000\nPOWER_SUPPLY_ENERGY_NOW=45000000\n");
    EXPECT_EQ(Query(root_), Record(1, 1 | 8, 90, -1, -1));

    // A second battery plugged in, given as attribute files.
    Write("BAT1/type", "Battery\n");
    Write("BAT1/status", "Charging\n");
    Write("BAT1/energy_now", "5000000\n");
    Write("BAT1/energy_full", "50000000\n");
    EXPECT_EQ(Query(root_), Record(1, 8, 50, -1, -1));

    fs::remove_all(root_ / "BAT0");
    fs::remove_all(root_ / "BAT1");
    EXPECT_EQ(Query(root_), Record(1, 128, 255, -1, -1));
}

TEST_F(ChangingTree, AnOverlongUeventLosesTheLineCutAtItsEnd) {
    const std::string head = "POWER_SUPPLY_NAME=BAT0\nPOWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_STATUS=Discharging\n"
                             "POWER_SUPPLY_CAPACITY=42\nPOWER_SUPPLY_ENERGY_FULL=50000000\n";
    const std::string kept = "POWER_SUPPLY_ENERGY_NOW=4500"; // what fits of 45000000 in one page
    const std::string padding = "POWER_SUPPLY_MODEL_NAME=" + std::string(4096 - head.size() - kept.size() - 25, 'x') + "\n";
    ASSERT_EQ((head + padding + kept).size(), 4096u);
    Write("BAT0/uevent", head + padding + "POWER_SUPPLY_ENERGY_NOW=45000000\n");
    EXPECT_EQ(Query(root_), Record(0, 0, 42, -1, -1));
}

TEST_F(ChangingTree, AFailureAfterASuccessKeepsTheEarlierValues) {
    SYSTEM_POWER_STATUS status = kUntouched;
    ASSERT_TRUE(ReadPowerStatus(root_.c_str(), &status).Ok());
    fs::remove_all(root_);
    EXPECT_FALSE(ReadPowerStatus(root_.c_str(), &status).Ok());
    EXPECT_EQ(status, Record(0, 0, 66, 11999, 18000));
}

// The programs read through files kept open: a file written over, one replaced by a rename, a
// supply taken away and put back, and another tree behind the same link all show, and the
// file of a supply taken away is closed.
TEST_F(ChangingTree, KeptFilesFollowEveryChange) {
    KeptFiles kept;
    const auto viaKept = [&](const fs::path& directory) {
        SYSTEM_POWER_STATUS status = kUntouched;
        EXPECT_TRUE(ReadPowerStatus(directory.c_str(), &status, nullptr, &kept).Ok()) << directory;
        return status;
    };
    const auto openFiles = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
    const fs::path link = root_.string() + "_link";
    fs::remove(link);
    fs::create_directory_symlink(root_, link);
    EXPECT_EQ(viaKept(link), Query(root_));
    const auto opened = openFiles();
    EXPECT_EQ(viaKept(link), Query(root_)) << "the same files read again";

    Write("AC/uevent", "POWER_SUPPLY_NAME=AC\nPOWER_SUPPLY_TYPE=Mains\nPOWER_SUPPLY_ONLINE=1\n");
    EXPECT_EQ(viaKept(link).ACLineStatus, 1) << "written over";
    Write("BAT0/uevent.new", "POWER_SUPPLY_NAME=BAT0\nPOWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_STATUS=Charging\n"
                             "POWER_SUPPLY_ENERGY_FULL=50000000\nPOWER_SUPPLY_ENERGY_NOW=45000000\n");
    fs::rename(root_ / "BAT0/uevent.new", root_ / "BAT0/uevent");
    EXPECT_EQ(viaKept(link), Record(1, 1 | 8, 90, -1, -1)) << "replaced by a rename";

    fs::rename(root_ / "BAT0", root_.string() + "_BAT0");
    EXPECT_EQ(viaKept(link), Record(1, 128, 255, -1, -1)) << "taken away";
    EXPECT_EQ(openFiles(), opened - 1);
    fs::copy(kFixtures / "energy_only" / "BAT0", root_ / "BAT0");
    EXPECT_EQ(viaKept(link), Query(root_)) << "another battery put back";
    fs::remove_all(root_.string() + "_BAT0");

    for (const char* other : {"charge_only", "two_batteries"}) {
        fs::remove(link);
        fs::create_directory_symlink(kFixtures / other, link);
        EXPECT_EQ(viaKept(link), Query(kFixtures / other)) << "another tree behind the link: " << other;
    }
    fs::remove(link);
}

TEST(SystemQuery, ReadsTheDirectoryNamedByTheEnvironment) {
    const char* directory = std::getenv("OSTRAVEL_POWER_SUPPLY_DIR");
    if (directory == nullptr || fs::path(directory) != kFixtures / "bench")
        GTEST_SKIP() << "run with OSTRAVEL_POWER_SUPPLY_DIR=" << (kFixtures / "bench").string();
    SYSTEM_POWER_STATUS status = kUntouched;
    EXPECT_TRUE(GetSystemPowerStatus(&status).Ok());
    EXPECT_EQ(status, Record(0, 0, 63, 11420, 17875));
    const Result<PowerDetails> details = GetPowerDetails();
    ASSERT_TRUE(details.Ok());
    EXPECT_EQ(details->record, Record(0, 0, 63, 11420, 17875));
    EXPECT_EQ(details->batteries.size(), 2u); // the mouse is no system battery
}

} // namespace
} // namespace platform::linux_detail
