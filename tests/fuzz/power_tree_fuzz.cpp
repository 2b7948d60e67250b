// A whole power-supply tree, written once as uevent files and once as attribute files: both
// forms give the same record, whatever the supplies hold.
//
// Input: "[NAME]" starts a supply, "KEY=value" lines give its properties by their uevent
// names without the POWER_SUPPLY_ prefix (TYPE, STATUS, ENERGY_NOW, ...).
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/linux/power_supply.h"
#include "platform/linux/power_supply_directory.h"
#include "tests/fuzz/fuzz_support.h"

namespace fs = std::filesystem;
using namespace platform::linux_detail;

namespace {

constexpr std::size_t kMostSupplies = 8;
constexpr std::size_t kLongestUevent = 2048; // well inside the page the reader takes

struct Supply {
    std::string name;
    std::vector<std::pair<std::string, std::string>> lines; // KEY, value in input order
};

std::vector<Supply> Supplies(const std::string& text) {
    std::vector<Supply> supplies;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            std::string name;
            for (char c : line.substr(1, line.size() - 2))
                if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-') name += c;
            bool taken = name.empty() || name.size() > 32;
            for (const Supply& supply : supplies) taken = taken || supply.name == name;
            if (!taken && supplies.size() < kMostSupplies) supplies.push_back({name, {}});
            continue;
        }
        const std::size_t equals = line.find('=');
        if (supplies.empty() || equals == std::string::npos || equals == 0) continue;
        supplies.back().lines.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    return supplies;
}

void WriteFile(const fs::path& path, const std::string& text) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    fuzz::Require(descriptor >= 0, "the scratch tree can be written", path.string());
    fuzz::Require(::write(descriptor, text.data(), text.size()) == static_cast<ssize_t>(text.size()),
                  "the scratch tree can be written", path.string());
    ::close(descriptor);
}

// The known property of a KEY, if any.
std::optional<SupplyProperty> PropertyOf(const std::string& key) { return UeventProperty("POWER_SUPPLY_" + key); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const fs::path uevents = fuzz::ScratchFolder() / "uevent";
    const fs::path attributes = fuzz::ScratchFolder() / "attributes";
    fs::remove_all(uevents);
    fs::remove_all(attributes);
    fs::create_directory(uevents);
    fs::create_directory(attributes);

    for (const Supply& supply : Supplies(text)) {
        fs::create_directory(uevents / supply.name);
        fs::create_directory(attributes / supply.name);
        std::string uevent;
        std::map<SupplyProperty, std::string> files; // the last line of a property is its file
        for (const auto& [key, value] : supply.lines) {
            const std::string line = "POWER_SUPPLY_" + key + "=" + value + "\n";
            if (uevent.size() + line.size() > kLongestUevent) break;
            uevent += line;
            if (const auto property = PropertyOf(key)) files[*property] = value;
        }
        WriteFile(uevents / supply.name / "uevent", uevent);
        for (const auto& [property, value] : files)
            WriteFile(attributes / supply.name / AttributeFileName(property), value + "\n");
    }

    platform::SYSTEM_POWER_STATUS fromUevents{7, 7, 7, 7, 7, 7};
    platform::SYSTEM_POWER_STATUS fromAttributes{9, 9, 9, 9, 9, 9};
    fuzz::Require(ReadPowerStatus(uevents.c_str(), &fromUevents).Ok(), "the uevent tree is read");
    fuzz::Require(ReadPowerStatus(attributes.c_str(), &fromAttributes).Ok(), "the attribute tree is read");
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
