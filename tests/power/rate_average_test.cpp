// The times left over a tree whose draw changes between queries, on a clock the test moves.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/linux/power_rate_average.h"
#include "platform/linux/power_supply_directory.h"
#include "power_record.h"

namespace platform::linux_detail {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class FakeClock final : public BootClock {
public:
    std::chrono::nanoseconds Now() const override { return now_; }
    void Advance(std::chrono::nanoseconds step) { now_ += step; }

private:
    std::chrono::nanoseconds now_ = 1h; // a while after boot
};

constexpr std::int64_t kWatt = 1'000'000; // µW
constexpr std::int64_t kWattHour = 1'000'000; // µWh

// A laptop with 30 of 50 Wh: 10800 s left at 10 W.
class ChangingDraw : public testing::Test {
protected:
    void SetUp() override {
        root_ = fs::path(testing::TempDir()) /
                ("ostravel_draw_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        SetMains(false);
        SetBattery("BAT0", 10 * kWatt);
    }
    void TearDown() override { fs::remove_all(root_); }

    void Write(const fs::path& file, const std::string& text) {
        fs::create_directories(root_ / file.parent_path());
        std::ofstream(root_ / file, std::ios::trunc) << text;
    }
    void SetMains(bool online) {
        Write("AC/uevent", std::string("POWER_SUPPLY_TYPE=Mains\nPOWER_SUPPLY_ONLINE=") + (online ? "1" : "0") + "\n");
    }
    void SetBattery(const std::string& name, std::int64_t power, std::int64_t energyNow = 30 * kWattHour) {
        Write(name + "/uevent", "POWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_STATUS=Discharging\nPOWER_SUPPLY_PRESENT=1\n"
                                "POWER_SUPPLY_ENERGY_FULL=50000000\nPOWER_SUPPLY_ENERGY_NOW=" +
                                    std::to_string(energyNow) + "\nPOWER_SUPPLY_POWER_NOW=" + std::to_string(power) +
                                    "\n");
    }

    // One query `step` after the one before.
    SYSTEM_POWER_STATUS QueryAfter(std::chrono::nanoseconds step) {
        clock_.Advance(step);
        SYSTEM_POWER_STATUS status{};
        EXPECT_TRUE(ReadPowerStatus(root_.c_str(), &status, &average_).Ok());
        return status;
    }

    // Queries every `step` for `length` at a steady draw.
    void Steady(std::int64_t power, std::chrono::nanoseconds step, std::chrono::nanoseconds length) {
        SetBattery("BAT0", power);
        for (auto t = 0ns; t < length; t += step) QueryAfter(step);
    }

    fs::path root_;
    FakeClock clock_;
    RateAverage average_{clock_};
};

// Seconds that 30 Wh last at `watts`.
constexpr std::int32_t SecondsLeftAt(std::int64_t watts) { return static_cast<std::int32_t>(30 * 3600 / watts); }

TEST_F(ChangingDraw, TheFirstQueryUsesTheDrawAsItIs) {
    SetBattery("BAT0", 14 * kWatt);
    EXPECT_EQ(QueryAfter(0s), Record(0, 0, 60, SecondsLeftAt(14) , 50 * 3600 / 14));
}

TEST_F(ChangingDraw, ADrawSwingingBetween6And14WattsGivesTheTimeAt10Watts) {
    for (const std::chrono::milliseconds step : {300ms, 1000ms, 2000ms}) {
        SCOPED_TRACE(step.count());
        average_ = RateAverage(clock_);
        bool high = false; // the first reading at 6 W is the furthest from the mean
        for (auto t = 0ms; t <= 3min; t += step) {
            SetBattery("BAT0", (high ? 14 : 6) * kWatt);
            high = !high;
            const SYSTEM_POWER_STATUS status = QueryAfter(step);
            if (t < 1min) continue;
            ASSERT_NEAR(status.BatteryLifeTime, SecondsLeftAt(10), SecondsLeftAt(10) * 0.05) << "at " << t.count();
        }
    }
}

TEST_F(ChangingDraw, ALastingStepIsFollowedWithinTwoMinutes) {
    for (const std::chrono::milliseconds step : {300ms, 1000ms}) {
        SCOPED_TRACE(step.count());
        average_ = RateAverage(clock_);
        Steady(10 * kWatt, step, 2min);
        SetBattery("BAT0", 20 * kWatt);
        // One reading of a new draw moves the time only a little...
        EXPECT_GT(QueryAfter(step).BatteryLifeTime, SecondsLeftAt(10) * 0.8);
        // ...a lasting one brings it within 10 % in two minutes, and keeps it there.
        for (auto t = step; t <= 4min; t += step) {
            const SYSTEM_POWER_STATUS status = QueryAfter(step);
            if (t < 2min) continue;
            ASSERT_NEAR(status.BatteryLifeTime, SecondsLeftAt(20), SecondsLeftAt(20) * 0.1) << "at " << t.count();
        }
    }
}

TEST_F(ChangingDraw, PluggingInAndOutStartsTheAverageAgain) {
    Steady(10 * kWatt, 300ms, 1min);
    SetMains(true);
    SetBattery("BAT0", 20 * kWatt);
    EXPECT_EQ(QueryAfter(300ms).BatteryLifeTime, -1);
    SetMains(false);
    EXPECT_EQ(QueryAfter(300ms).BatteryLifeTime, SecondsLeftAt(20));
}

TEST_F(ChangingDraw, ASuspendStartsTheAverageAgain) {
    Steady(10 * kWatt, 300ms, 1min);
    SetBattery("BAT0", 20 * kWatt);
    EXPECT_EQ(QueryAfter(5min + 1s).BatteryLifeTime, SecondsLeftAt(20));
}

TEST_F(ChangingDraw, AnotherSetOfBatteriesStartsTheAverageAgain) {
    Steady(10 * kWatt, 300ms, 1min);
    SetBattery("BAT1", 10 * kWatt); // 60 Wh at 20 W
    EXPECT_EQ(QueryAfter(300ms).BatteryLifeTime, SecondsLeftAt(10));
    Steady(10 * kWatt, 300ms, 1min);
    // The same count of batteries, but a different one.
    fs::remove_all(root_ / "BAT1");
    SetBattery("BAT2", 30 * kWatt);
    EXPECT_EQ(QueryAfter(300ms).BatteryLifeTime, 60 * 3600 / 40);
}

TEST_F(ChangingDraw, AReadingWithoutADrawStartsTheAverageAgain) {
    Steady(10 * kWatt, 300ms, 1min);
    SetBattery("BAT0", 0);
    EXPECT_EQ(QueryAfter(300ms).BatteryLifeTime, -1);
    SetBattery("BAT0", 20 * kWatt);
    EXPECT_EQ(QueryAfter(300ms).BatteryLifeTime, SecondsLeftAt(20));
}

TEST_F(ChangingDraw, TheEnergyIsNeverAveraged) {
    Steady(10 * kWatt, 300ms, 1min);
    SetBattery("BAT0", 10 * kWatt, 15 * kWattHour);
    EXPECT_EQ(QueryAfter(300ms), Record(0, 2, 30, 5400, 18000));
}

TEST(RateAverage, AGapOfFiveMinutesStillAveragesAndALongerOneDoesNot) {
    FakeClock clock;
    RateAverage average(clock);
    EXPECT_EQ(average.Next(10 * kWatt, 0, 1), 10 * kWatt);
    clock.Advance(5min);
    // e^-15 of the old draw is left: a few µW.
    const auto afterFiveMinutes = average.Next(20 * kWatt, 0, 1);
    ASSERT_TRUE(afterFiveMinutes);
    EXPECT_LT(*afterFiveMinutes, 20 * kWatt);
    EXPECT_GT(*afterFiveMinutes, 20 * kWatt - 10);
    clock.Advance(5min + 1ns);
    EXPECT_EQ(average.Next(10 * kWatt, 0, 1), 10 * kWatt);
}

TEST(RateAverage, AClockThatStandsStillOrGoesBackDoesNotBreakIt) {
    FakeClock clock;
    RateAverage average(clock);
    EXPECT_EQ(average.Next(10 * kWatt, 0, 1), 10 * kWatt);
    EXPECT_EQ(average.Next(20 * kWatt, 0, 1), 10 * kWatt); // no time passed: no weight
    clock.Advance(-1s);
    EXPECT_EQ(average.Next(20 * kWatt, 0, 1), 20 * kWatt);
    EXPECT_EQ(average.Next(std::nullopt, 0, 1), std::nullopt);
}

} // namespace
} // namespace platform::linux_detail
