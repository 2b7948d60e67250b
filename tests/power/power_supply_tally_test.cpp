// The rules that turn a set of supplies into one record, at their edges.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <vector>

#include "combine_supplies.h"
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
    const auto none = Record(1, 128, 255, -1, -1);
    EXPECT_EQ(Combine({}), none);
    EXPECT_EQ(Combine({mouse, emptyBay}), none);

    PowerSupply unknownPresence = CapacityBattery(Discharging, 40);
    unknownPresence.present.reset();
    EXPECT_EQ(Combine({unknownPresence}), Record(0, 0, 40, -1, -1));
}

TEST(SystemBattery, APresentBatteryCountsThoughItsLevelCannotBeRead) {
    PowerSupply mute = Battery(Discharging); // says nothing about its charge
    mute.voltageNow = 12000000;
    mute.powerNow = 10000000;
    EXPECT_EQ(Combine({mute}), Record(0, 255, 255, -1, -1));
    EXPECT_EQ(Combine({Mains(1), mute}), Record(1, 255, 255, -1, -1));
    // The readable battery gives the percentage; the mute one's unknown energy leaves the times unknown.
    PowerSupply readable = EnergyBattery(Discharging, 30000000, 50000000, 10000000);
    EXPECT_EQ(Combine({readable, mute}), Record(0, 0, 60, -1, -1));
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

PowerSupply LevelBattery(SupplyStatus status, CapacityLevel level) {
    PowerSupply supply = Battery(status);
    supply.capacityLevel = level;
    return supply;
}

TEST(Flag, ACoarseLevelStandsInForThePercentage) {
    const auto flagOf = [](CapacityLevel level, SupplyStatus status = Discharging) {
        const SYSTEM_POWER_STATUS result = Combine({LevelBattery(status, level)});
        EXPECT_EQ(result.BatteryLifePercent, 255);
        return int{result.BatteryFlag};
    };
    EXPECT_EQ(flagOf(CapacityLevel::Full), 1);
    EXPECT_EQ(flagOf(CapacityLevel::High), 1);
    EXPECT_EQ(flagOf(CapacityLevel::Normal), 0);
    EXPECT_EQ(flagOf(CapacityLevel::Low), 2);
    EXPECT_EQ(flagOf(CapacityLevel::Critical), 6);
    EXPECT_EQ(flagOf(CapacityLevel::Critical, Charging), 14);
    EXPECT_EQ(flagOf(CapacityLevel::Normal, Charging), 8);
    EXPECT_EQ(flagOf(CapacityLevel::Unknown), 255);
    EXPECT_EQ(flagOf(CapacityLevel::Unknown, Charging), 255);
    EXPECT_EQ(flagOf(CapacityLevel::Other), 255);
}

TEST(Flag, TheLowestLevelWinsAndAPercentageWinsOverLevels) {
    EXPECT_EQ(Combine({LevelBattery(Discharging, CapacityLevel::Full), LevelBattery(Discharging, CapacityLevel::Low)})
                  .BatteryFlag,
              2);
    EXPECT_EQ(Combine({LevelBattery(Discharging, CapacityLevel::Full), Battery(Discharging)}).BatteryFlag, 255);
    PowerSupply both = LevelBattery(Discharging, CapacityLevel::Critical);
    both.capacity = 80;
    EXPECT_EQ(Combine({both}), Record(0, 1, 80, -1, -1));
}

TEST(Percent, EnergyAndChargeConvertAtTheBatterysVoltage) {
    // 50.4 Wh against 10.5 Ah at 12 V (126 Wh) at 12.6 W.
    PowerSupply energyNow = Battery(Discharging);
    energyNow.energyNow = 50400000;
    energyNow.chargeFull = 10500000;
    energyNow.voltageNow = 12000000;
    energyNow.powerNow = 12600000;
    EXPECT_EQ(Combine({energyNow}), Record(0, 0, 40, 14400, 36000));
    // 3 Ah at the 14.4 V minimum (43.2 Wh) against 57.6 Wh at 1.2 A (17.28 W).
    PowerSupply chargeNow = Battery(Discharging);
    chargeNow.chargeNow = 3000000;
    chargeNow.energyFull = 57600000;
    chargeNow.voltageMinDesign = 14400000;
    chargeNow.voltageMaxDesign = 16800000;
    chargeNow.currentNow = 1200000;
    EXPECT_EQ(Combine({chargeNow}), Record(0, 1, 75, 9000, 12000));
    // Without any voltage nothing converts.
    energyNow.voltageNow.reset();
    EXPECT_EQ(Combine({energyNow}), Record(0, 255, 255, -1, -1));
}

TEST(Percent, ACapacityBesideAFullValueIsWeighedByTheBatterysSize) {
    // 20 of 24 Wh, and 50 % of 70 Wh: 55 of 94 Wh at 6 + 2 W.
    PowerSupply small = EnergyBattery(Discharging, 20000000, 24000000, 6000000);
    small.capacity = 83;
    PowerSupply sized = CapacityBattery(Discharging, 50);
    sized.energyFull = 70000000;
    sized.powerNow = 2000000;
    EXPECT_EQ(Combine({small, sized}), Record(0, 0, 58, 24750, 42300));
    // A charge full value counts once its voltage is known: 5 Ah at 14 V is 70 Wh.
    sized.energyFull.reset();
    sized.chargeFull = 5000000;
    EXPECT_EQ(Combine({small, sized}).BatteryLifePercent, 66); // no voltage: the plain mean
    sized.voltageMaxDesign = 14000000;
    EXPECT_EQ(Combine({small, sized}), Record(0, 0, 58, 24750, 42300));
}

TEST(Times, TheKernelsEstimateStandsInWhenNoBatteryGivesADraw) {
    PowerSupply battery = EnergyBattery(Discharging, 40000000, 50000000, std::nullopt);
    battery.timeToEmptyAvg = 7200;
    battery.timeToEmptyNow = 3600;
    // The average first, and a full charge in proportion: 7200 × 50 / 40.
    EXPECT_EQ(Combine({Mains(0), battery}), Record(0, 1, 80, 7200, 9000));
    battery.timeToEmptyAvg = 0;
    EXPECT_EQ(Combine({Mains(0), battery}), Record(0, 1, 80, 3600, 4500));
    // Only on battery power.
    EXPECT_EQ(Combine({Mains(1), battery}), Record(1, 1, 80, -1, -1));
    // A draw of its own wins over the kernel's figure.
    battery.powerNow = 10000000;
    EXPECT_EQ(Combine({battery}).BatteryLifeTime, 14400);
}

TEST(Times, TheKernelsEstimateNeedsALoneBatteryAndStaysWithinSevenDays) {
    PowerSupply battery = CapacityBattery(Discharging, 30);
    battery.timeToEmptyNow = 5400;
    EXPECT_EQ(Combine({battery}), Record(0, 2, 30, 5400, -1)); // no full and now to scale by
    EXPECT_EQ(Combine({battery, CapacityBattery(Discharging, 30)}), Record(0, 2, 30, -1, -1));
    battery.timeToEmptyNow = 7 * 24 * 3600 + 1;
    EXPECT_EQ(Combine({battery}).BatteryLifeTime, -1);
    // A full charge beyond seven days is unknown; the time left still shows.
    PowerSupply nearlyEmpty = ChargeBattery(Discharging, 1000, 2000000, std::nullopt);
    nearlyEmpty.timeToEmptyAvg = 600;
    EXPECT_EQ(Combine({nearlyEmpty}), Record(0, 6, 0, 600, -1));
    nearlyEmpty.chargeNow = 1000000;
    EXPECT_EQ(Combine({nearlyEmpty}), Record(0, 0, 50, 600, 1200));
}

PowerSupply Supply(SupplyType type, Number online) {
    PowerSupply supply = Mains(online);
    supply.type = type;
    return supply;
}

TEST(LineStatus, AStaleUsbPortDoesNotOutvoteOfflineMainsWhileEveryBatteryDischarges) {
    const PowerSupply mainsOff = Supply(SupplyType::Mains, 0), usbOn = Supply(SupplyType::Usb, 1);
    EXPECT_EQ(Combine({mainsOff, usbOn, CapacityBattery(Discharging, 50)}).ACLineStatus, 0);
    // Charging behind the port, and a weak charger on Mains, are on mains.
    EXPECT_EQ(Combine({mainsOff, usbOn, CapacityBattery(Charging, 50)}).ACLineStatus, 1);
    EXPECT_EQ(Combine({Supply(SupplyType::Mains, 1), CapacityBattery(Discharging, 50)}).ACLineStatus, 1);
    // Without a Mains supply to say offline, or without a battery, the port counts.
    EXPECT_EQ(Combine({usbOn, CapacityBattery(Discharging, 50)}).ACLineStatus, 1);
    EXPECT_EQ(Combine({mainsOff, usbOn}).ACLineStatus, 1);
    EXPECT_EQ(Combine({mainsOff, usbOn, CapacityBattery(Discharging, 50), CapacityBattery(SupplyStatus::Full, 100)})
                  .ACLineStatus,
              1);
}

TEST(SystemBattery, TypeUnknownIsABatteryOnlyWithABatterysStatusAndALevel) {
    PowerSupply pmu = CapacityBattery(SupplyStatus::Unknown, 40);
    pmu.type = SupplyType::Unknown;
    EXPECT_EQ(Combine({pmu}).BatteryFlag, 128);
    pmu = Battery(SupplyStatus::Full);
    pmu.type = SupplyType::Unknown;
    pmu.online = 1; // no level: a charger
    EXPECT_EQ(Combine({pmu}), Record(1, 128, 255, -1, -1));
    pmu.capacityLevel = CapacityLevel::High;
    EXPECT_EQ(Combine({pmu}), Record(1, 1, 255, -1, -1));
}

TEST(Averages, StandInOnlyWhereTheValueOfNowIsAbsent) {
    PowerSupply battery = EnergyBattery(Discharging, 30000000, 50000000, std::nullopt);
    battery.energyAvg = 10000000;
    battery.powerAvg = 10000000;
    EXPECT_EQ(Combine({battery}), Record(0, 0, 60, 10800, 18000));
    battery.energyNow.reset();
    EXPECT_EQ(Combine({battery}), Record(0, 2, 20, 3600, 18000));
    // A current of now without a voltage gives no draw, and no average takes its place.
    battery.currentNow = 2000000;
    EXPECT_EQ(Combine({battery}), Record(0, 2, 20, -1, -1));
}

TEST(Percent, AZeroLevelBesideACapacityIsUnreadOnlyWhileDischarging) {
    PowerSupply battery = ChargeBattery(Discharging, 0, 4000000, 10000000);
    battery.capacity = 25;
    EXPECT_EQ(Combine({battery}), Record(0, 2, 25, -1, -1));
    battery.status = Charging;
    EXPECT_EQ(Combine({battery}).BatteryLifePercent, 0);
    battery.status = Discharging;
    battery.capacity = 0; // truly empty
    EXPECT_EQ(Combine({battery}).BatteryLifePercent, 0);
}

TEST(BatterySet, TellsSetsOfNamesApartInAnyOrder) {
    const PowerSupply battery = CapacityBattery(Discharging, 50);
    const auto set = [&battery](std::initializer_list<const char*> names) {
        PowerSupplyTally tally;
        for (const char* name : names) tally.Add(battery, name);
        tally.Add(Mains(0), "AC"); // mains are no part of it
        return tally.BatterySet();
    };
    EXPECT_EQ(set({"BAT0", "BAT1"}), set({"BAT1", "BAT0"}));
    EXPECT_NE(set({"BAT0"}), set({"BAT1"}));
    EXPECT_NE(set({"BAT0"}), set({"BAT0", "BAT1"}));
    EXPECT_NE(set({}), set({"BAT0"}));
}

} // namespace
} // namespace platform::linux_detail
