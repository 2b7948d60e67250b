// The rules that turn a set of supplies into one record, at their edges.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <vector>

#include "platform/linux/power_supply_tally.h"
#include "power_record.h"

namespace platform::linux_detail {
namespace {

using Number = std::optional<std::int64_t>;

PowerSupply Mains(Number online) {
    PowerSupply supply;
    supply.type = SupplyType::Other;
    supply.online = online;
    return supply;
}

PowerSupply Battery(SupplyStatus status) {
    PowerSupply supply;
    supply.type = SupplyType::Battery;
    supply.status = status;
    supply.present = 1;
    return supply;
}

PowerSupply EnergyBattery(SupplyStatus status, std::int64_t now, std::int64_t full, Number power) {
    PowerSupply supply = Battery(status);
    supply.energyNow = now;
    supply.energyFull = full;
    supply.powerNow = power;
    return supply;
}

PowerSupply ChargeBattery(SupplyStatus status, std::int64_t now, std::int64_t full, Number voltage) {
    PowerSupply supply = Battery(status);
    supply.chargeNow = now;
    supply.chargeFull = full;
    supply.voltageNow = voltage;
    return supply;
}

PowerSupply CapacityBattery(SupplyStatus status, std::int64_t capacity) {
    PowerSupply supply = Battery(status);
    supply.capacity = capacity;
    return supply;
}

SYSTEM_POWER_STATUS Combine(std::initializer_list<PowerSupply> supplies) {
    const std::vector<PowerSupply> list(supplies);
    return CombinePowerSupplies(list);
}

constexpr auto Charging = SupplyStatus::Charging;
constexpr auto Discharging = SupplyStatus::Discharging;

TEST(LineStatus, AnyOnlineMainsMeansOnMains) {
    EXPECT_EQ(Combine({Mains(0), Mains(2)}).ACLineStatus, 1);
    EXPECT_EQ(Combine({Mains(1)}).ACLineStatus, 1);
    EXPECT_EQ(Combine({Mains(0), Mains(3)}).ACLineStatus, 0);
    // Mains that exist and are off win over what the battery says.
    EXPECT_EQ(Combine({Mains(0), CapacityBattery(Charging, 50)}).ACLineStatus, 0);
}

TEST(LineStatus, DeviceMainsAndMainsWithoutOnlineDoNotCount) {
    PowerSupply tablet = Mains(1);
    tablet.scope = SupplyScope::Device;
    EXPECT_EQ(Combine({tablet, CapacityBattery(Discharging, 50)}).ACLineStatus, 0);
    EXPECT_EQ(Combine({Mains(std::nullopt), CapacityBattery(Discharging, 50)}).ACLineStatus, 0);
}

TEST(LineStatus, WithoutMainsTheBatteriesDecide) {
    EXPECT_EQ(Combine({CapacityBattery(Charging, 50)}).ACLineStatus, 1);
    EXPECT_EQ(Combine({CapacityBattery(SupplyStatus::Full, 100)}).ACLineStatus, 1);
    EXPECT_EQ(Combine({CapacityBattery(Discharging, 50), CapacityBattery(SupplyStatus::NotCharging, 50)}).ACLineStatus,
              1);
    EXPECT_EQ(Combine({CapacityBattery(Discharging, 50), CapacityBattery(Discharging, 60)}).ACLineStatus, 0);
    EXPECT_EQ(Combine({CapacityBattery(Discharging, 50), CapacityBattery(SupplyStatus::Unknown, 60)}).ACLineStatus,
              255);
    EXPECT_EQ(Combine({CapacityBattery(SupplyStatus::Missing, 50)}).ACLineStatus, 255);
}

TEST(SystemBattery, PeripheralsAbsentOnesAndEmptyOnesAreNotBatteries) {
    PowerSupply mouse = CapacityBattery(Discharging, 40);
    mouse.scope = SupplyScope::Device;
    PowerSupply emptyBay = CapacityBattery(Discharging, 40);
    emptyBay.present = 0;
    PowerSupply mute = Battery(Discharging); // says nothing about its charge
    mute.voltageNow = 12000000;
    const auto none = Record(1, 128, 255, -1, -1);
    EXPECT_EQ(Combine({}), none);
    EXPECT_EQ(Combine({mouse, emptyBay, mute}), none);

    PowerSupply unknownPresence = CapacityBattery(Discharging, 40);
    unknownPresence.present.reset();
    EXPECT_EQ(Combine({unknownPresence}), Record(0, 0, 40, -1, -1));
}

TEST(SystemBattery, ABatteryWithoutAnyPercentageIsFlaggedUnknown) {
    PowerSupply halfKnown = Battery(Charging);
    halfKnown.energyNow = 30000000; // no full value and no capacity to compare with
    EXPECT_EQ(Combine({Mains(1), halfKnown}), Record(1, 255, 255, -1, -1));
}

TEST(Percent, SumsEnergyAndRoundsDown) {
    // 20 + 10 Wh of 24 + 72 Wh is 31.25 %, though the capacities average 48 %.
    PowerSupply small = EnergyBattery(Discharging, 20000000, 24000000, std::nullopt);
    small.capacity = 83;
    PowerSupply large = EnergyBattery(Discharging, 10000000, 72000000, std::nullopt);
    large.capacity = 13;
    EXPECT_EQ(Combine({small, large}).BatteryLifePercent, 31);
    EXPECT_EQ(Combine({EnergyBattery(Discharging, 2, 3, std::nullopt)}).BatteryLifePercent, 66);
}

TEST(Percent, ClampsEachBatteryToItsRange) {
    EXPECT_EQ(Combine({EnergyBattery(Discharging, 52000000, 50000000, std::nullopt)}).BatteryLifePercent, 100);
    EXPECT_EQ(Combine({EnergyBattery(Discharging, -1000, 50000000, std::nullopt)}).BatteryLifePercent, 0);
    // An overfull battery does not lift the other one.
    EXPECT_EQ(Combine({EnergyBattery(Discharging, 60000000, 50000000, std::nullopt),
                       EnergyBattery(Discharging, 0, 50000000, std::nullopt)})
                  .BatteryLifePercent,
              50);
    EXPECT_EQ(Combine({CapacityBattery(Discharging, 150)}).BatteryLifePercent, 100);
    EXPECT_EQ(Combine({CapacityBattery(Discharging, -5), CapacityBattery(Discharging, 61)}).BatteryLifePercent, 30);
}

TEST(Percent, ChargeOnlyBatteriesCompareChargeWithOrWithoutVoltage) {
    // By charge 3 of 4 Ah is 75 %; weighting by the different voltages would give 83 %.
    EXPECT_EQ(Combine({ChargeBattery(Discharging, 1000000, 2000000, 10000000),
                       ChargeBattery(Discharging, 2000000, 2000000, 20000000)})
                  .BatteryLifePercent,
              75);
    EXPECT_EQ(Combine({ChargeBattery(Discharging, 1000000, 2000000, std::nullopt),
                       ChargeBattery(Discharging, 2000000, 2000000, std::nullopt)})
                  .BatteryLifePercent,
              75);
}

TEST(Percent, MixedBatteriesNeedTheChargeOnesVoltage) {
    PowerSupply energy = EnergyBattery(Discharging, 30000000, 40000000, std::nullopt);
    energy.capacity = 80;
    PowerSupply charge = ChargeBattery(Discharging, 1000000, 2000000, 10000000);
    charge.capacity = 40;
    // 30 + 10 Wh of 40 + 20 Wh.
    EXPECT_EQ(Combine({energy, charge}).BatteryLifePercent, 66);
    charge.voltageNow.reset();
    EXPECT_EQ(Combine({energy, charge}).BatteryLifePercent, 60);
    charge.capacity.reset();
    EXPECT_EQ(Combine({energy, charge}).BatteryLifePercent, 80);
}

TEST(Percent, ChargeFallsBackToTheDesignVoltagesInOrder) {
    PowerSupply energy = EnergyBattery(Discharging, 30000000, 40000000, std::nullopt);
    PowerSupply charge = ChargeBattery(Discharging, 1000000, 2000000, 0);
    charge.voltageMinDesign = 10000000;
    charge.voltageMaxDesign = 40000000;
    EXPECT_EQ(Combine({energy, charge}).BatteryLifePercent, 66); // 40 of 60 Wh at the minimum voltage
    charge.voltageMinDesign.reset();
    EXPECT_EQ(Combine({energy, charge}).BatteryLifePercent, 58); // 70 of 120 Wh at the maximum
}

TEST(Percent, AZeroFullValueIsNoEnergyReading) {
    PowerSupply battery = EnergyBattery(Discharging, 30000000, 0, 10000000);
    battery.capacity = 42;
    EXPECT_EQ(Combine({battery}), Record(0, 0, 42, -1, -1));
}

TEST(Times, FollowTheRateOnBatteryPower) {
    // 30 of 50 Wh at 10 W.
    EXPECT_EQ(Combine({Mains(0), EnergyBattery(Discharging, 30000000, 50000000, -10000000)}),
              Record(0, 0, 60, 10800, 18000));
    EXPECT_EQ(Combine({Mains(1), EnergyBattery(Charging, 30000000, 50000000, 10000000)}),
              Record(1, 8, 60, -1, -1));
    EXPECT_EQ(Combine({EnergyBattery(SupplyStatus::Unknown, 30000000, 50000000, 10000000)}),
              Record(255, 0, 60, -1, -1));
}

TEST(Times, CurrentTimesVoltageStandsInForPower) {
    PowerSupply battery = ChargeBattery(Discharging, 3000000, 5000000, 15000000);
    battery.currentNow = -2000000; // 30 W
    EXPECT_EQ(Combine({battery}), Record(0, 0, 60, 5400, 9000));
    battery.powerNow = 15000000; // a power reading wins over the current
    EXPECT_EQ(Combine({battery}), Record(0, 0, 60, 10800, 18000));
}

TEST(Times, RateOutsideTenthOfAWattTo300WattsIsUnknown) {
    auto at = [](std::int64_t microWatts) {
        return Combine({EnergyBattery(Discharging, 1000000, 2000000, microWatts)});
    };
    EXPECT_EQ(at(99999).BatteryLifeTime, -1);
    EXPECT_EQ(at(100000).BatteryLifeTime, 36000);
    EXPECT_EQ(at(300000000).BatteryLifeTime, 12);
    EXPECT_EQ(at(300000001).BatteryLifeTime, -1);
    EXPECT_EQ(at(0), Record(0, 0, 50, -1, -1));
}

TEST(Times, AreCappedAtSevenDays) {
    // At 0.1 W, 16.8 Wh last exactly 604800 s.
    EXPECT_EQ(Combine({EnergyBattery(Discharging, 16800000, 16800000, 100000)}), Record(0, 1, 100, 604800, 604800));
    EXPECT_EQ(Combine({EnergyBattery(Discharging, 16800000, 20000000, 100000)}), Record(0, 1, 84, 604800, -1));
    EXPECT_EQ(Combine({EnergyBattery(Discharging, 16800028, 20000000, 100000)}), Record(0, 1, 84, -1, -1));
}

TEST(Times, NeedARateFromEveryBattery) {
    EXPECT_EQ(Combine({EnergyBattery(Discharging, 30000000, 50000000, 10000000),
                       EnergyBattery(Discharging, 30000000, 50000000, std::nullopt)}),
              Record(0, 0, 60, -1, -1));
    // Current without any voltage gives no rate.
    PowerSupply battery = ChargeBattery(Discharging, 3000000, 5000000, std::nullopt);
    battery.currentNow = 2000000;
    EXPECT_EQ(Combine({battery}), Record(0, 0, 60, -1, -1));
}

TEST(Times, HugeReadingsGiveUnknownsNotWrappedNumbers) {
    constexpr std::int64_t huge = 4'000'000'000'000'000'000;
    PowerSupply first = EnergyBattery(Discharging, huge, huge, 10000000);
    first.capacity = 70;
    PowerSupply second = first;
    // 100 × now and 3600 × now overflow; the capacity still gives the percentage.
    EXPECT_EQ(Combine({first}), Record(0, 1, 70, -1, -1));
    // So does the sum of three.
    EXPECT_EQ(Combine({first, second, second}), Record(0, 1, 70, -1, -1));
    PowerSupply current = ChargeBattery(Discharging, 1000000, 2000000, huge);
    current.currentNow = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(Combine({current}), Record(0, 0, 50, -1, -1));
}

TEST(Flag, LevelBitsCombine) {
    auto flagAt = [](std::int64_t percent) { return Combine({CapacityBattery(Discharging, percent)}).BatteryFlag; };
    EXPECT_EQ(flagAt(100), 1);
    EXPECT_EQ(flagAt(67), 1);
    EXPECT_EQ(flagAt(66), 0);
    EXPECT_EQ(flagAt(33), 0);
    EXPECT_EQ(flagAt(32), 2);
    EXPECT_EQ(flagAt(5), 2);
    EXPECT_EQ(flagAt(4), 6);
    EXPECT_EQ(flagAt(0), 6);
}

TEST(Flag, ChargingIncludesUnknownOnMainsBelowNinetyPercent) {
    const auto unknown = SupplyStatus::Unknown;
    EXPECT_EQ(Combine({Mains(0), CapacityBattery(Charging, 3)}).BatteryFlag, 2 | 4 | 8);
    EXPECT_EQ(Combine({Mains(1), CapacityBattery(unknown, 89)}).BatteryFlag, 1 | 8);
    EXPECT_EQ(Combine({Mains(1), CapacityBattery(unknown, 90)}).BatteryFlag, 1);
    EXPECT_EQ(Combine({Mains(0), CapacityBattery(unknown, 50)}).BatteryFlag, 0);
    EXPECT_EQ(Combine({Mains(1), CapacityBattery(SupplyStatus::Full, 50)}).BatteryFlag, 0);
    // Two batteries at 60 % and 100 % average 80 %: still charging while one is Unknown.
    EXPECT_EQ(Combine({Mains(1), CapacityBattery(unknown, 60), CapacityBattery(SupplyStatus::Full, 100)}).BatteryFlag,
              1 | 8);
}

} // namespace
} // namespace platform::linux_detail
