// A whole power-supply tree from a fuzz input, written once as uevent files and once as
// attribute files, for the targets that read both forms.
//
// Input: "[NAME]" starts a supply, "KEY=value" lines give its properties by their uevent
// names without the POWER_SUPPLY_ prefix (TYPE, STATUS, ENERGY_NOW, ...).
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/power_supply.h"
#include "tests/fuzz/fuzz_support.h"

namespace fuzz {

struct PowerTrees {
    std::filesystem::path uevents;
    std::filesystem::path attributes;
};

namespace power_tree_detail {

constexpr std::size_t kMostSupplies = 8;
constexpr std::size_t kLongestUevent = 2048; // well inside the page the reader takes

struct Supply {
    std::string name;
    std::vector<std::pair<std::string, std::string>> lines; // KEY, value in input order
};

inline std::vector<Supply> Supplies(const std::string& text) {
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

inline void WriteFile(const std::filesystem::path& path, const std::string& text) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    Require(descriptor >= 0, "the scratch tree can be written", path.string());
    Require(::write(descriptor, text.data(), text.size()) == static_cast<ssize_t>(text.size()),
            "the scratch tree can be written", path.string());
    ::close(descriptor);
}

} // namespace power_tree_detail

// Writes the input's supplies into two fresh trees in the scratch folder.
inline PowerTrees WritePowerTrees(const std::string& text) {
    using namespace power_tree_detail;
    namespace linux_detail = platform::linux_detail;
    const PowerTrees trees{ScratchFolder() / "uevent", ScratchFolder() / "attributes"};
    std::filesystem::remove_all(trees.uevents);
    std::filesystem::remove_all(trees.attributes);
    std::filesystem::create_directory(trees.uevents);
    std::filesystem::create_directory(trees.attributes);

    for (const Supply& supply : Supplies(text)) {
        std::filesystem::create_directory(trees.uevents / supply.name);
        std::filesystem::create_directory(trees.attributes / supply.name);
        std::string uevent;
        std::map<linux_detail::SupplyProperty, std::string> files; // the last line of a property is its file
        for (const auto& [key, value] : supply.lines) {
            const std::string line = "POWER_SUPPLY_" + key + "=" + value + "\n";
            if (uevent.size() + line.size() > kLongestUevent) break;
            uevent += line;
            if (const auto property = linux_detail::UeventProperty("POWER_SUPPLY_" + key)) files[*property] = value;
        }
        WriteFile(trees.uevents / supply.name / "uevent", uevent);
        for (const auto& [property, value] : files)
            WriteFile(trees.attributes / supply.name / linux_detail::AttributeFileName(property), value + "\n");
    }
    return trees;
}

} // namespace fuzz
