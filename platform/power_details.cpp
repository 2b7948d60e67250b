// What the details make of a record, and their text in each language: the same on every platform.
#include "platform/power_details.h"

#include <array>
#include <charconv>
#include <initializer_list>

namespace platform {
namespace {

// "{}" in a pattern takes the next value.
struct Words {
    const char* onMains;
    const char* onBattery;
    const char* sourceUnknown;
    const char* charging;
    const char* noBattery;
    const char* chargeUnknown;
    const char* percent;  // {} percent
    const char* time;     // {} hours {} two-digit minutes
    const char* left;     // {} time
    const char* toFull;   // {} time
    const char* drawing;  // {} watts
    const char* energyOf; // {} now {} full, watt-hours
    const char* energy;   // {} now
    const char* full;     // {} full
    const char* design;   // {} design
    const char* health;   // {} percent
    const char* cycles;   // {} count
    std::array<const char*, 5> states; // by BatteryState
    char decimalSeparator;
};

constexpr Words kEnglish{
    "On mains", "On battery", "Power source unknown", "charging", "no battery", "charge unknown",
    "{}%", "{} h {} min", "{} left", "full in {}", "drawing {} W",
    "energy {} of {} Wh", "energy {} Wh", "full {} Wh", "design {} Wh", "health {}%", "{} cycles",
    {"unknown state", "charging", "discharging", "not charging", "full"}, '.',
};

constexpr Words kRussian{
    "От сети", "От батареи", "Источник питания неизвестен", "зарядка", "нет батареи", "заряд неизвестен",
    "{} %", "{} ч. {} м.", "осталось {}", "до полной {}", "расход {} Вт",
    "энергия {} из {} Вт·ч", "энергия {} Вт·ч", "полная {} Вт·ч", "проектная {} Вт·ч", "здоровье {} %",
    "циклов: {}",
    {"состояние неизвестно", "заряжается", "разряжается", "не заряжается", "заряжена"}, ',',
};

std::string Fill(std::string_view pattern, std::initializer_list<std::string> values) {
    std::string text;
    auto value = values.begin();
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        if (pattern.compare(at, 2, "{}") == 0 && value != values.end()) {
            text += *value++;
            ++at;
        } else {
            text += pattern[at];
        }
    }
    return text;
}

// One decimal, the same whatever the C locale says.
std::string Decimal(double value, char separator) {
    char digits[32];
    const auto written = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 1);
    std::string text(digits, written.ec == std::errc{} ? written.ptr : digits);
    for (char& c : text)
        if (c == '.') c = separator;
    return text;
}

// Hours and minutes, the seconds dropped.
std::string Duration(std::int32_t seconds, const Words& words) {
    std::string minutes = std::to_string(seconds % 3600 / 60);
    if (minutes.size() < 2) minutes.insert(minutes.begin(), '0');
    return Fill(words.time, {std::to_string(seconds / 3600), minutes});
}

// "Head: part, part", or the head alone.
std::string Line(std::string head, const std::vector<std::string>& parts, const char* joint = ": ") {
    for (std::size_t i = 0; i < parts.size(); ++i) head += (i == 0 ? joint : ", ") + parts[i];
    return head;
}

std::string SystemLine(const PowerDetails& details, const Words& words) {
    std::string source = words.sourceUnknown;
    if (details.onMains) source = *details.onMains ? words.onMains : words.onBattery;
    if (details.charging) source = source + ", " + words.charging;
    std::vector<std::string> parts;
    if (details.noBattery) parts.emplace_back(words.noBattery);
    else if (details.percent) parts.push_back(Fill(words.percent, {std::to_string(*details.percent)}));
    else parts.emplace_back(words.chargeUnknown);
    if (details.secondsToEmpty) parts.push_back(Fill(words.left, {Duration(*details.secondsToEmpty, words)}));
    if (details.secondsToFull) parts.push_back(Fill(words.toFull, {Duration(*details.secondsToFull, words)}));
    if (details.drawWatts)
        parts.push_back(Fill(words.drawing, {Decimal(*details.drawWatts, words.decimalSeparator)}));
    return Line(source, parts);
}

void AddBatteryLines(std::vector<std::string>& lines, const BatteryDetails& battery, const Words& words) {
    const auto decimal = [&words](double value) { return Decimal(value, words.decimalSeparator); };
    std::vector<std::string> parts;
    if (battery.state) parts.emplace_back(words.states[static_cast<std::size_t>(*battery.state)]);
    if (battery.percent) parts.push_back(Fill(words.percent, {std::to_string(*battery.percent)}));
    lines.push_back(Line(battery.name, parts));

    std::string maker = battery.manufacturer.value_or("");
    if (battery.model) maker += (maker.empty() ? "" : " ") + *battery.model;
    parts.clear();
    if (!maker.empty()) parts.push_back(maker);
    if (battery.technology) parts.push_back(*battery.technology);
    if (!parts.empty()) lines.push_back(Line("", parts, "  "));

    parts.clear();
    if (battery.energyNowWh && battery.energyFullWh)
        parts.push_back(Fill(words.energyOf, {decimal(*battery.energyNowWh), decimal(*battery.energyFullWh)}));
    else if (battery.energyNowWh) parts.push_back(Fill(words.energy, {decimal(*battery.energyNowWh)}));
    else if (battery.energyFullWh) parts.push_back(Fill(words.full, {decimal(*battery.energyFullWh)}));
    if (battery.energyFullDesignWh) parts.push_back(Fill(words.design, {decimal(*battery.energyFullDesignWh)}));
    if (battery.healthPercent) parts.push_back(Fill(words.health, {decimal(*battery.healthPercent)}));
    if (!parts.empty()) lines.push_back(Line("", parts, "  "));

    parts.clear();
    if (battery.cycleCount) parts.push_back(Fill(words.cycles, {std::to_string(*battery.cycleCount)}));
    if (battery.drawWatts) parts.push_back(Fill(words.drawing, {decimal(*battery.drawWatts)}));
    if (!parts.empty()) lines.push_back(Line("", parts, "  "));
}

} // namespace

PowerDetails DetailsOfRecord(const SYSTEM_POWER_STATUS& record) {
    PowerDetails details;
    details.record = record;
    if (record.ACLineStatus <= 1) details.onMains = record.ACLineStatus == 1;
    if (record.BatteryLifePercent <= 100) details.percent = record.BatteryLifePercent;
    if (record.BatteryLifeTime >= 0) details.secondsToEmpty = record.BatteryLifeTime;
    const bool flagKnown = record.BatteryFlag != kUnknownByte;
    details.noBattery = flagKnown && (record.BatteryFlag & kBatteryFlagNoBattery) != 0;
    details.charging = details.onMains == true && flagKnown && !details.noBattery &&
                       (record.BatteryFlag & kBatteryFlagCharging) != 0;
    return details;
}

std::vector<std::string> DetailsLines(const PowerDetails& details, DetailsLanguage language) {
    const Words& words = language == DetailsLanguage::Russian ? kRussian : kEnglish;
    std::vector<std::string> lines{SystemLine(details, words)};
    for (const BatteryDetails& battery : details.batteries) AddBatteryLines(lines, battery, words);
    return lines;
}

} // namespace platform
