// The settings key file as the user may have left it, through the placement restore and the
// close chord's save: the restored window can be made, every warning is one plain line, save
// then restore gives the same placement, and everything else in the file is kept.
#include <glib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "platform/linux/gui/settings_store.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/monitor/Fakes.h"

namespace fs = std::filesystem;

namespace {

const char* const kSection = "fNevlin Pos";

using KeyFilePtr = std::unique_ptr<GKeyFile, decltype(&g_key_file_free)>;

// The file as GLib reads it; null when it does not read.
KeyFilePtr Parsed(const std::string& bytes) {
    KeyFilePtr keys(g_key_file_new(), &g_key_file_free);
    auto flags = static_cast<GKeyFileFlags>(G_KEY_FILE_KEEP_COMMENTS | G_KEY_FILE_KEEP_TRANSLATIONS);
    if (!g_key_file_load_from_data(keys.get(), bytes.data(), bytes.size(), flags, nullptr)) keys.reset();
    return keys;
}

std::string Text(gchar* owned) {
    std::string text = owned ? owned : "<none>";
    g_free(owned);
    return text;
}

// GLib reads "\r\n" line ends and writes "\n", so a line's last "\r" goes with a save: the
// "\r"s that end a line are not compared.
std::string WithoutLineEnd(std::string line) {
    while (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// Every group, key and raw value but the placement's four keys.
std::string EverythingButThePlacement(GKeyFile* keys) {
    std::string values;
    gchar** groups = g_key_file_get_groups(keys, nullptr);
    for (gchar** group = groups; *group; ++group) {
        const bool placement = std::string(*group) == kSection;
        // The placement's group is there after a save even when it was not before.
        if (!placement) values += "[" + std::string(*group) + "]\n";
        gchar** names = g_key_file_get_keys(keys, *group, nullptr, nullptr);
        for (gchar** key = names; key && *key; ++key) {
            const std::string name = *key;
            if (placement && (name == "Height" || name == "Width" || name == "Left" || name == "Top")) continue;
            values += std::string(*group) + "/" + name + "=" +
                      WithoutLineEnd(Text(g_key_file_get_value(keys, *group, *key, nullptr))) + "\n";
        }
        g_strfreev(names);
    }
    g_strfreev(groups);
    return values;
}

// The comment lines of a file, without the blanks before them, sorted: GLib merges a
// group that appears twice into its first place, and the comments move with the keys.
std::string Comments(const std::string& text) {
    std::multiset<std::string> comments;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        line = WithoutLineEnd(line);
        const std::size_t first = line.find_first_not_of(" \t");
        if (first != std::string::npos && line[first] == '#') comments.insert(line.substr(first));
    }
    std::string all;
    for (const std::string& comment : comments) all += comment + "\n";
    return all;
}

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Run {
    std::string warnings;
    platform::x11::KeyFileSettings store;
    fakes::FormOverStore opened;

    explicit Run(const fs::path& root)
        : store(root.string(), fakes::LinesInto(warnings)), opened(fakes::OpenFormOver(store, warnings)) {}
    platform::TwipsRect Restore() {
        opened.Form->WindowPosition(*opened.Form, false);
        return opened.Window->CurrentPlacement;
    }
};

std::string Shown(const platform::TwipsRect& r) {
    return std::to_string(r.Left) + "," + std::to_string(r.Top) + " " + std::to_string(r.Width) + "x" +
           std::to_string(r.Height);
}

void RequirePlainLines(const std::string& warnings, const fs::path& file, const std::string& input) {
    std::istringstream lines(warnings);
    for (std::string line; std::getline(lines, line);) {
        fuzz::Require(line.rfind(file.string() + ": ", 0) == 0, "every warning names the settings file first", line);
        fuzz::Require(!fuzz::HasControlCharacter(line), "a warning is one line of plain text", line + "\n" + input);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const fs::path root = fuzz::ScratchFolder() / "config";
    const fs::path file = root / "Ostravel" / "settings.conf";
    fs::remove_all(root);
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << input;

    Run first(root);
    const platform::TwipsRect restored = first.Restore();
    // 15 twips a pixel at the fake's 96 dpi; its virtual screen is 1920 x 1080.
    const int width = (restored.Width + 7) / 15, height = (restored.Height + 7) / 15;
    fuzz::Require(width >= 1 && width <= 1920 && height >= 1 && height <= 1080,
                  "the restored size is a window the system can make", Shown(restored));
    RequirePlainLines(first.warnings, file, input);

    first.opened.Form->WindowPosition(*first.opened.Form, true);
    RequirePlainLines(first.warnings, file, input);
    const std::string saved = ReadAll(file);
    // A NUL byte makes the store keep the file aside whole, as one GLib cannot read.
    const KeyFilePtr before = input.find('\0') == std::string::npos ? Parsed(input) : KeyFilePtr(nullptr, &g_key_file_free);
    if (before) {
        const KeyFilePtr after = Parsed(saved);
        fuzz::Require(after != nullptr, "the saved file reads back", saved);
        fuzz::Require(EverythingButThePlacement(before.get()) == EverythingButThePlacement(after.get()),
                      "a save keeps every other group, key and value", input + "\n---\n" + saved);
        fuzz::Require(Comments(input) == Comments(saved), "a save keeps every comment line", input + "\n---\n" + saved);
    } else {
        fuzz::Require(ReadAll(file.string() + ".bad") == input, "a file that does not read is kept whole", input);
    }

    Run second(root);
    const platform::TwipsRect again = second.Restore();
    fuzz::Require(again.Left == restored.Left && again.Top == restored.Top && again.Width == restored.Width &&
                      again.Height == restored.Height,
                  "save then restore gives the same placement", Shown(restored) + " then " + Shown(again));
    fuzz::Require(second.warnings.empty(), "a saved placement restores without a warning", second.warnings);
    return 0;
}
