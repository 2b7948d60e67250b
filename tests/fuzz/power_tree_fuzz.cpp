// A whole power-supply tree, written once as uevent files and once as attribute files: both
// forms give the same record, whatever the supplies hold (input: see power_tree_input.h).
#include <cstdint>
#include <string>

#include "platform/linux/power_supply_directory.h"
#include "tests/fuzz/power_tree_input.h"

using namespace platform::linux_detail;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const fuzz::PowerTrees trees = fuzz::WritePowerTrees(text);

    platform::SYSTEM_POWER_STATUS fromUevents{7, 7, 7, 7, 7, 7};
    platform::SYSTEM_POWER_STATUS fromAttributes{9, 9, 9, 9, 9, 9};
    fuzz::Require(ReadPowerStatus(trees.uevents.c_str(), &fromUevents).Ok(), "the uevent tree is read");
    fuzz::Require(ReadPowerStatus(trees.attributes.c_str(), &fromAttributes).Ok(), "the attribute tree is read");
    const auto shown = [](const platform::SYSTEM_POWER_STATUS& s) {
        return std::to_string(s.ACLineStatus) + " " + std::to_string(s.BatteryFlag) + " " +
               std::to_string(s.BatteryLifePercent) + " " + std::to_string(s.Reserved1) + " " +
               std::to_string(s.BatteryLifeTime) + " " + std::to_string(s.BatteryFullLifeTime);
    };
    fuzz::Require(shown(fromUevents) == shown(fromAttributes), "uevent and attribute files give the same record",
                  shown(fromUevents) + " from uevent files, " + shown(fromAttributes) + " from attribute files\n" +
                      text);
    // The record keeps its own rules whatever the supplies say.
    fuzz::Require(fromUevents.Reserved1 == 0, "the reserved byte is zero");
    fuzz::Require(fromUevents.BatteryLifePercent <= 100 || fromUevents.BatteryLifePercent == 255,
                  "the percentage is 0 to 100 or unknown", shown(fromUevents));
    fuzz::Require(fromUevents.ACLineStatus <= 1 || fromUevents.ACLineStatus == 255, "the line status is 0, 1 or unknown",
                  shown(fromUevents));
    return 0;
}
