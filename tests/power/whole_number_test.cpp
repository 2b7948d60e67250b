// Reading the kernel's property text: numbers, words and uevent lines.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

#include "platform/linux/power_supply.h"

namespace platform::linux_detail {
namespace {

using Number = std::optional<std::int64_t>;

TEST(WholeNumber, AcceptsTrimmedSignedDecimals) {
    EXPECT_EQ(ParseWholeNumber("42\n"), Number{42});
    EXPECT_EQ(ParseWholeNumber(" \t 1500000 \r\n"), Number{1500000});
    EXPECT_EQ(ParseWholeNumber("-2000000"), Number{-2000000});
    EXPECT_EQ(ParseWholeNumber("+7"), Number{7});
    EXPECT_EQ(ParseWholeNumber("007"), Number{7});
    EXPECT_EQ(ParseWholeNumber("0"), Number{0});
}

TEST(WholeNumber, RejectsAnythingElse) {
    for (const char* text : {"", " \n", "-", "+", "1.5", "1.2e7", "0x10", "12abc", "abc", "1 2", "--1", "+-1", "yes",
                             "\xd9\xa3"}) {
        EXPECT_EQ(ParseWholeNumber(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(WholeNumber, StaysWithinSixtyFourBits) {
    constexpr auto max = std::numeric_limits<std::int64_t>::max();
    constexpr auto min = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(ParseWholeNumber("9223372036854775807"), Number{max});
    EXPECT_EQ(ParseWholeNumber("-9223372036854775808"), Number{min});
    EXPECT_EQ(ParseWholeNumber("9223372036854775808"), std::nullopt);
    EXPECT_EQ(ParseWholeNumber("-9223372036854775809"), std::nullopt);
    EXPECT_EQ(ParseWholeNumber("99999999999999999999"), std::nullopt);
    EXPECT_EQ(ParseWholeNumber("18446744073709551626"), std::nullopt); // wraps to 10 in 64-bit unsigned
}

TEST(SupplyWords, CompareExactlyWithTheKernelsWords) {
    PowerSupply supply;
    SetSupplyProperty(supply, SupplyProperty::Type, "Battery\n");
    EXPECT_EQ(supply.type, SupplyType::Battery);
    SetSupplyProperty(supply, SupplyProperty::Type, "battery");
    EXPECT_EQ(supply.type, SupplyType::Other);
    SetSupplyProperty(supply, SupplyProperty::Type, "\n");
    EXPECT_EQ(supply.type, SupplyType::Missing);
    SetSupplyProperty(supply, SupplyProperty::Type, "Unknown");
    EXPECT_EQ(supply.type, SupplyType::Unknown);
    for (const char* port : {"USB", "USB_C", "USB_PD_DRP"}) {
        SetSupplyProperty(supply, SupplyProperty::Type, port);
        EXPECT_EQ(supply.type, SupplyType::Usb) << port;
    }
    SetSupplyProperty(supply, SupplyProperty::Type, "USBC");
    EXPECT_EQ(supply.type, SupplyType::Other);

    SetSupplyProperty(supply, SupplyProperty::Scope, "Device\n");
    EXPECT_EQ(supply.scope, SupplyScope::Device);
    SetSupplyProperty(supply, SupplyProperty::Scope, "System\n");
    EXPECT_EQ(supply.scope, SupplyScope::Other);

    SetSupplyProperty(supply, SupplyProperty::Status, "Not charging\n");
    EXPECT_EQ(supply.status, SupplyStatus::NotCharging);
    SetSupplyProperty(supply, SupplyProperty::Status, "Unknown");
    EXPECT_EQ(supply.status, SupplyStatus::Unknown);
    SetSupplyProperty(supply, SupplyProperty::Status, "Charging?");
    EXPECT_EQ(supply.status, SupplyStatus::Other);
    SetSupplyProperty(supply, SupplyProperty::Status, "");
    EXPECT_EQ(supply.status, SupplyStatus::Missing);
}

TEST(Uevent, TakesTheKnownPropertiesAndSaysWhichItCarried) {
    PowerSupply supply;
    const std::uint32_t carried = ApplyUevent(supply,
                                              "POWER_SUPPLY_NAME=BAT0\n"
                                              "POWER_SUPPLY_STATUS=Not charging\n"
                                              "POWER_SUPPLY_ENERGY_FULL_DESIGN=57000000\n"
                                              "POWER_SUPPLY_ENERGY_FULL=50000000\n"
                                              "POWER_SUPPLY_MODEL_NAME=A=B\n"
                                              "no equals sign here\n"
                                              "ENERGY_NOW=1\n"
                                              "POWER_SUPPLY_CAPACITY=\n"
                                              "POWER_SUPPLY_ENERGY_NOW=12345"); // last line without its newline
    EXPECT_EQ(supply.status, SupplyStatus::NotCharging);
    EXPECT_EQ(supply.energyFull, Number{50000000});
    EXPECT_EQ(supply.energyNow, Number{12345});
    EXPECT_EQ(supply.capacity, std::nullopt);
    EXPECT_EQ(supply.modelName, "A=B");
    EXPECT_EQ(supply.type, SupplyType::Missing);
    EXPECT_EQ(carried, PropertyBit(SupplyProperty::Status) | PropertyBit(SupplyProperty::EnergyFull) |
                           PropertyBit(SupplyProperty::EnergyFullDesign) | PropertyBit(SupplyProperty::ModelName) |
                           PropertyBit(SupplyProperty::Capacity) | PropertyBit(SupplyProperty::EnergyNow));
}

TEST(SupplyValues, GaugesNotAvailableCodeIsNoRateOrTimeAndTextsArePrintable) {
    PowerSupply supply;
    ApplyUevent(supply, "POWER_SUPPLY_CURRENT_NOW=65535\nPOWER_SUPPLY_TIME_TO_FULL_NOW=65535\n"
                        "POWER_SUPPLY_ENERGY_NOW=65535\nPOWER_SUPPLY_POWER_NOW=65534\n"
                        "POWER_SUPPLY_MANUFACTURER= \x1b[31mACME\t\n");
    EXPECT_EQ(supply.currentNow, std::nullopt);
    EXPECT_EQ(supply.timeToFullNow, std::nullopt);
    EXPECT_EQ(supply.energyNow, Number{65535}); // a level, not a rate
    EXPECT_EQ(supply.powerNow, Number{65534});
    EXPECT_EQ(supply.manufacturer, "?[31mACME");
}

} // namespace
} // namespace platform::linux_detail
