// The battery devices' answers as details (what Wine, which has none, gives is checked on
// Vantrel.exe --json by vantrel_record.sh).
#include <gtest/gtest.h>

#include <cstring>

#include "platform/windows/battery_devices.h"

namespace platform::windows_detail {
namespace {

BatteryDeviceReading Reading(ULONG powerState, ULONG capacity, ULONG full, LONG rate) {
    BatteryDeviceReading reading;
    reading.information.Capabilities = BATTERY_SYSTEM_BATTERY;
    std::memcpy(reading.information.Chemistry, "LIon", 4);
    reading.information.DesignedCapacity = 57000;
    reading.information.FullChargedCapacity = full;
    reading.status.PowerState = powerState;
    reading.status.Capacity = capacity;
    reading.status.Voltage = 12500;
    reading.status.Rate = rate;
    return reading;
}

TEST(BatteryDevices, AbsoluteCapacitiesGiveEveryFact) {
    BatteryDeviceReading reading = Reading(BATTERY_DISCHARGING, 35000, 50000, -9000);
    reading.information.CycleCount = 212;
    reading.deviceName = L"5B10W13930";
    reading.manufacturer = L" SMP ";
    const BatteryDetails details = BatteryDetailsOf(reading, 1);
    EXPECT_EQ(details.name, "BAT1");
    EXPECT_EQ(details.manufacturer, "SMP");
    EXPECT_EQ(details.model, "5B10W13930");
    EXPECT_EQ(details.technology, "Li-ion");
    EXPECT_EQ(details.state, BatteryState::Discharging);
    EXPECT_EQ(details.percent, 70);
    EXPECT_EQ(details.energyNowWh, 35.0);
    EXPECT_EQ(details.energyFullWh, 50.0);
    EXPECT_EQ(details.energyFullDesignWh, 57.0);
    EXPECT_NEAR(details.healthPercent.value_or(-1), 87.72, 0.01);
    EXPECT_EQ(details.cycleCount, 212);
    EXPECT_EQ(details.drawWatts, 9.0);
}

TEST(BatteryDevices, RelativeCapacitiesAndUnknownsGiveTheShareAlone) {
    BatteryDeviceReading reading = Reading(BATTERY_POWER_ON_LINE, 100, 100, static_cast<LONG>(BATTERY_UNKNOWN_RATE));
    reading.information.Capabilities |= BATTERY_CAPACITY_RELATIVE;
    const BatteryDetails full = BatteryDetailsOf(reading, 0);
    EXPECT_EQ(full.state, BatteryState::Full);
    EXPECT_EQ(full.percent, 100);
    EXPECT_EQ(full.energyFullWh, std::nullopt);
    EXPECT_EQ(full.healthPercent, std::nullopt);
    EXPECT_EQ(full.cycleCount, std::nullopt); // 0: no count kept
    EXPECT_EQ(full.drawWatts, std::nullopt);
    EXPECT_EQ(full.model, std::nullopt);

    reading = Reading(BATTERY_POWER_ON_LINE, BATTERY_UNKNOWN_CAPACITY, 50000, 0);
    const BatteryDetails unknown = BatteryDetailsOf(reading, 0);
    EXPECT_EQ(unknown.state, BatteryState::NotCharging);
    EXPECT_EQ(unknown.percent, std::nullopt);
    EXPECT_EQ(unknown.energyNowWh, std::nullopt);
}

TEST(BatteryDevices, TotalsNeedEveryBatterysRateAndChargeOnlyWhileCharging) {
    // 10 + 5 Wh missing at 12 + 8 W: 2700 s.
    const std::vector<BatteryDeviceReading> charging{Reading(BATTERY_CHARGING | BATTERY_POWER_ON_LINE, 40000, 50000, 12000),
                                                     Reading(BATTERY_CHARGING | BATTERY_POWER_ON_LINE, 15000, 20000, 8000)};
    PowerDetails details = DetailsOfRecord({1, 8, 78, 0, -1, -1});
    AddDeviceTotals(details, charging);
    EXPECT_EQ(details.drawWatts, 20.0);
    EXPECT_EQ(details.secondsToFull, 2700);

    details = DetailsOfRecord({0, 1, 78, 0, 9000, 12000});
    AddDeviceTotals(details, charging);
    EXPECT_EQ(details.secondsToFull, std::nullopt);
    std::vector<BatteryDeviceReading> oneUnknown = charging;
    oneUnknown[1].status.Rate = static_cast<LONG>(BATTERY_UNKNOWN_RATE);
    details = DetailsOfRecord({1, 8, 78, 0, -1, -1});
    AddDeviceTotals(details, oneUnknown);
    EXPECT_EQ(details.drawWatts, std::nullopt);
    EXPECT_EQ(details.secondsToFull, std::nullopt);
}

} // namespace
} // namespace platform::windows_detail
