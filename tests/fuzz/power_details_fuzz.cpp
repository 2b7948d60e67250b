// The details of a whole power-supply tree (input: see power_tree_input.h): uevent files and
// attribute files give the same details, whose record is the query's, whose values keep their
// ranges, and whose JSON report reads back.
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "platform/linux/power_supply_directory.h"
#include "statuswriter/details_report.h"
#include "tests/fuzz/power_tree_input.h"
#include "tests/power/shown_details.h"

using namespace platform::linux_detail;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const fuzz::PowerTrees trees = fuzz::WritePowerTrees(text);

    const platform::Result<platform::PowerDetails> fromUevents = ReadPowerDetails(trees.uevents.c_str());
    const platform::Result<platform::PowerDetails> fromAttributes = ReadPowerDetails(trees.attributes.c_str());
    fuzz::Require(fromUevents.Ok() && fromAttributes.Ok(), "both trees are read");
    const std::string shown = platform::ShownDetails(*fromUevents);
    fuzz::Require(shown == platform::ShownDetails(*fromAttributes), "uevent and attribute files give the same details",
                  shown + "from uevent files\n" + platform::ShownDetails(*fromAttributes) + "from attribute files\n" + text);

    platform::SYSTEM_POWER_STATUS record{7, 7, 7, 7, 7, 7};
    fuzz::Require(ReadPowerStatus(trees.uevents.c_str(), &record).Ok(), "the uevent tree is read");
    const platform::SYSTEM_POWER_STATUS& own = fromUevents->record;
    fuzz::Require(own.ACLineStatus == record.ACLineStatus && own.BatteryFlag == record.BatteryFlag &&
                      own.BatteryLifePercent == record.BatteryLifePercent &&
                      own.BatteryLifeTime == record.BatteryLifeTime &&
                      own.BatteryFullLifeTime == record.BatteryFullLifeTime,
                  "the details hold the query's record", shown);

    const platform::PowerDetails& details = *fromUevents;
    fuzz::Require(!details.secondsToFull || (*details.secondsToFull >= 0 && *details.secondsToFull <= 7 * 24 * 3600),
                  "the time to full is within seven days", shown);
    fuzz::Require(!details.secondsToFull || details.charging, "a time to full only while charging", shown);
    fuzz::Require(!details.drawWatts || *details.drawWatts >= 0.1, "the system's draw is believable", shown);
    for (std::size_t i = 0; i < details.batteries.size(); ++i) {
        const platform::BatteryDetails& battery = details.batteries[i];
        fuzz::Require(i == 0 || details.batteries[i - 1].name < battery.name, "the batteries are sorted by name", shown);
        fuzz::Require(!battery.percent || (*battery.percent >= 0 && *battery.percent <= 100),
                      "a battery's percent is 0 to 100", shown);
        fuzz::Require(!battery.healthPercent || *battery.healthPercent > 0, "a health is above 0", shown);
        fuzz::Require(!battery.drawWatts || *battery.drawWatts >= 0, "a battery's draw is not negative", shown);
        for (const auto* words : {&battery.manufacturer, &battery.model, &battery.technology})
            fuzz::Require(!*words || (!words->value().empty() && !fuzz::HasControlCharacter(**words)),
                          "a text is printable and not empty", shown);
    }
    // Both languages lay the same facts out on the same number of lines.
    fuzz::Require(platform::DetailsLines(details, platform::DetailsLanguage::English).size() ==
                      platform::DetailsLines(details, platform::DetailsLanguage::Russian).size(),
                  "both languages give as many lines", shown);
    const nlohmann::json report = nlohmann::json::parse(Battery::DetailsJson(details), nullptr, false);
    fuzz::Require(!report.is_discarded() && report["batteries"].size() == details.batteries.size(),
                  "the JSON report reads back", shown);
    return 0;
}
