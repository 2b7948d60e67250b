#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/linux/gui/settings_store.h"
#include "platform/process.h"
#include "tests/settings/settings_files.h"

namespace fs = std::filesystem;
using platform::x11::KeyFileSettings;

namespace {

int LineCount(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

fs::path FreshFolder() {
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    const fs::path folder = fs::temp_directory_path() / (std::string("ostravel-settings-") + test->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

class KeyFileSettingsTest : public testing::Test {
protected:
    void TearDown() override { fs::remove_all(root_); }

    fs::path Config() const { return root_ / "config"; }
    fs::path File() const { return Config() / "Ostravel" / "settings.conf"; }

    fs::path root_ = FreshFolder();
    std::string warnings_; // a line each
    KeyFileSettings store_{(root_ / "config").string(),
                           [this](const std::string& line) { warnings_ += line + '\n'; }};
};

TEST_F(KeyFileSettingsTest, AbsentFileGivesTheDefaultsAndCreatesNothing) {
    EXPECT_EQ(store_.Location("Ostravel"), File().string());
    EXPECT_EQ(store_.GetSetting("Ostravel", "fNevlin Pos", "Height", "3000"), "3000");
    EXPECT_EQ(store_.GetSetting("Ostravel", "fNevlin Pos", "Left", ""), "");
    EXPECT_FALSE(fs::exists(Config()));
    EXPECT_EQ(warnings_, "");
}

TEST_F(KeyFileSettingsTest, PartialFileGivesWhatItHoldsAndDefaultsTheRest) {
    WriteAll(File(), "[fNevlin Pos]\nWidth=2400\n\n[Other]\nHeight=99\n");
    EXPECT_EQ(store_.GetSetting("Ostravel", "fNevlin Pos", "Width", "1"), "2400");
    EXPECT_EQ(store_.GetSetting("Ostravel", "fNevlin Pos", "Height", "1710"), "1710");
    EXPECT_EQ(store_.GetSetting("Ostravel", "Missing Pos", "Width", "7"), "7");
    EXPECT_EQ(store_.GetSetting("Elsewhere", "fNevlin Pos", "Width", "8"), "8");
    EXPECT_EQ(warnings_, "");
}

TEST_F(KeyFileSettingsTest, SavedValuesComeBackAsTheSameText) {
    const std::string values[] = {"1680", "1234.5", "-15", " leading and trailing ", "a=b;c#d",
                                  "back\\slash", "two\nlines", "Осталось 1 ч 5 мин", ""};
    for (const auto& value : values) {
        store_.SaveSetting("Ostravel", "fNevlin Pos", "Top", value);
        EXPECT_EQ(store_.GetSetting("Ostravel", "fNevlin Pos", "Top", "default"), value);
    }
    store_.SaveSetting("Ostravel", "fNevlin Pos", "Left", "300");
    EXPECT_EQ(store_.GetSetting("Ostravel", "fNevlin Pos", "Left", ""), "300");
    EXPECT_EQ(store_.GetSetting("Ostravel", "fNevlin Pos", "Top", "default"), "");
    EXPECT_EQ(warnings_, "");
}

TEST_F(KeyFileSettingsTest, BrokenFileReadsAsDefaultsWithOneWarningAndIsKeptAsideOnSave) {
    const std::string broken = "Height=1710 with no group\n[fNevlin Pos\n";
    WriteAll(File(), broken);
    for (const char* key : {"Height", "Width", "Left", "Top"})
        EXPECT_EQ(store_.GetSetting("Ostravel", "fNevlin Pos", key, "d"), "d");
    EXPECT_EQ(LineCount(warnings_), 1);
    EXPECT_NE(warnings_.find(File().string()), std::string::npos);

    store_.SaveSetting("Ostravel", "fNevlin Pos", "Height", "1710");
    EXPECT_EQ(ReadAll(File().string() + ".bad"), broken);
    EXPECT_EQ(ReadAll(File()), "[fNevlin Pos]\nHeight=1710\n");
    EXPECT_EQ(store_.GetSetting("Ostravel", "fNevlin Pos", "Height", "d"), "1710");
}

TEST_F(KeyFileSettingsTest, WarningsAboutABrokenFileAreOneLineWithItsBytesEscaped) {
    WriteAll(File(), "[fNevlin Pos]\nHeight=1710\n\x1b]0;owned\x07\x1b[2J\r\n");
    EXPECT_EQ(store_.GetSetting("Ostravel", "fNevlin Pos", "Height", "d"), "d");
    store_.SaveSetting("Ostravel", "fNevlin Pos", "Height", "1710");

    const std::string warnings = warnings_;
    EXPECT_EQ(LineCount(warnings), 2) << warnings;
    std::istringstream lines(warnings);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_EQ(line.rfind(File().string() + ": \"", 0), 0u) << line;
        for (unsigned char c : line) EXPECT_FALSE(c < 0x20 || c == 0x7f) << line;
    }
    EXPECT_NE(warnings.find("\\x1b]0;owned\\x07\\x1b[2J"), std::string::npos) << warnings;
    EXPECT_NE(warnings.find("; kept it as " + File().string() + ".bad\n"), std::string::npos) << warnings;
}

TEST_F(KeyFileSettingsTest, AFileWithANulByteIsKeptAsideWholeRatherThanCutAtIt) {
    const std::string withNul("# note\0 after the NUL\n[fNevlin Pos]\nHeight=1710\n", 48);
    WriteAll(File(), withNul);
    EXPECT_EQ(store_.GetSetting("Ostravel", "fNevlin Pos", "Height", "d"), "d");
    store_.SaveSetting("Ostravel", "fNevlin Pos", "Height", "2000");
    EXPECT_EQ(ReadAll(File().string() + ".bad"), withNul);
    EXPECT_EQ(ReadAll(File()), "[fNevlin Pos]\nHeight=2000\n");
    EXPECT_NE(warnings_.find("NUL byte"), std::string::npos) << warnings_;
}

TEST_F(KeyFileSettingsTest, EveryBrokenFileIsKeptUpToFiveNewestFirst) {
    const auto broken = [](int n) { return "broken file " + std::to_string(n) + "\n"; };
    for (int n = 1; n <= 7; ++n) {
        WriteAll(File(), broken(n));
        warnings_.clear();
        store_.SaveSetting("Ostravel", "fNevlin Pos", "Top", std::to_string(n));
        EXPECT_NE(warnings_.find("kept it as " + File().string() + ".bad\n"), std::string::npos);
    }
    EXPECT_EQ(ReadAll(File()), "[fNevlin Pos]\nTop=7\n");
    EXPECT_EQ(ReadAll(File().string() + ".bad"), broken(7));
    for (int age = 1; age <= 4; ++age)
        EXPECT_EQ(ReadAll(File().string() + ".bad." + std::to_string(age)), broken(7 - age)) << age;
    EXPECT_FALSE(fs::exists(File().string() + ".bad.5")); // the two oldest went
}

TEST_F(KeyFileSettingsTest, ABrokenFileThatCannotBeKeptIsNotReplaced) {
    const std::string broken = "no group here\n";
    WriteAll(File(), broken);
    // An earlier copy that a folder in the last place blocks from moving up.
    fs::create_directories(File().string() + ".bad.4/inside");
    WriteAll(File().string() + ".bad.3", "older\n");
    WriteAll(File().string() + ".bad", "earlier\n");
    EXPECT_THROW(store_.SaveSetting("Ostravel", "fNevlin Pos", "Top", "1"), platform::Error);
    EXPECT_EQ(ReadAll(File()), broken);
    EXPECT_EQ(ReadAll(File().string() + ".bad"), "earlier\n");
    EXPECT_EQ(ReadAll(File().string() + ".bad.3"), "older\n");
}

TEST_F(KeyFileSettingsTest, SeveralValuesAreSavedInTheirOrderAsOneReplacement) {
    WriteAll(File(), "[fNevlin Pos]\nLeft=1\n");
    const fs::path oldFile = root_ / "old-settings";
    fs::create_hard_link(File(), oldFile);
    store_.SaveSettings("Ostravel", "fNevlin Pos", {{"Height", "630"}, {"Width", "1680"}, {"Left", "5"}, {"Top", "6"}});
    EXPECT_EQ(ReadAll(File()), "[fNevlin Pos]\nLeft=5\nHeight=630\nWidth=1680\nTop=6\n");
    EXPECT_EQ(ReadAll(oldFile), "[fNevlin Pos]\nLeft=1\n");
    // A key the file cannot hold refuses the whole save.
    EXPECT_THROW(store_.SaveSettings("Ostravel", "fNevlin Pos", {{"Height", "1"}, {"#Width", "2"}}),
                 platform::Error);
    EXPECT_EQ(ReadAll(File()), "[fNevlin Pos]\nLeft=5\nHeight=630\nWidth=1680\nTop=6\n");
}

TEST_F(KeyFileSettingsTest, ValueThatIsNotTextReadsAsTheDefaultAndSurvivesOtherSaves) {
    WriteAll(File(), "[fNevlin Pos]\nHeight=\xff\xfe\n");
    EXPECT_EQ(store_.GetSetting("Ostravel", "fNevlin Pos", "Height", "d"), "d");
    store_.SaveSetting("Ostravel", "fNevlin Pos", "Width", "2400");
    EXPECT_EQ(ReadAll(File()), "[fNevlin Pos]\nHeight=\xff\xfe\nWidth=2400\n");
    EXPECT_FALSE(fs::exists(File().string() + ".bad"));
}

TEST_F(KeyFileSettingsTest, SavingKeepsForeignGroupsKeysAndComments) {
    WriteAll(File(), "# Written by hand\n"
                     "\n"
                     "[Other]\n"
                     "# the other program's colour\n"
                     "Colour=red\n"
                     "Name=Battery\n"
                     "Name[ru]=Батарея\n"
                     "\n"
                     "[fNevlin Pos]\n"
                     "Height=1710\n"
                     "Note=keep me\n");
    store_.SaveSetting("Ostravel", "fNevlin Pos", "Height", "2000");
    store_.SaveSetting("Ostravel", "fNevlin Pos", "Top", "45");

    EXPECT_EQ(ReadAll(File()), "# Written by hand\n"
                               "\n"
                               "[Other]\n"
                               "# the other program's colour\n"
                               "Colour=red\n"
                               "Name=Battery\n"
                               "Name[ru]=Батарея\n"
                               "\n"
                               "[fNevlin Pos]\n"
                               "Height=2000\n"
                               "Note=keep me\n"
                               "Top=45\n");
}

TEST_F(KeyFileSettingsTest, SaveReplacesTheFileAtomicallyWithPrivateModes) {
    store_.SaveSetting("Ostravel", "fNevlin Pos", "Height", "1710");
    EXPECT_EQ(fs::status(Config() / "Ostravel").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(File()).permissions(), fs::perms::owner_read | fs::perms::owner_write);

    // A second name for the old file shows whether it was rewritten in place or replaced.
    const fs::path oldFile = root_ / "old-settings";
    fs::create_hard_link(File(), oldFile);
    store_.SaveSetting("Ostravel", "fNevlin Pos", "Height", "2000");

    EXPECT_EQ(ReadAll(oldFile), "[fNevlin Pos]\nHeight=1710\n");
    EXPECT_EQ(fs::hard_link_count(oldFile), 1u);
    EXPECT_EQ(ReadAll(File()), "[fNevlin Pos]\nHeight=2000\n");
    EXPECT_EQ(fs::status(File()).permissions(), fs::perms::owner_read | fs::perms::owner_write);

    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Config() / "Ostravel")) names.push_back(entry.path().filename());
    EXPECT_EQ(names, std::vector<std::string>{"settings.conf"});
}

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

TEST_F(KeyFileSettingsTest, ASettingsFileThatIsALinkStaysALinkAndItsTargetIsReplaced) {
    const fs::path target = root_ / "dotfiles" / "nevlin.conf";
    WriteAll(target, "[fNevlin Pos]\nLeft=1\n");
    fs::create_directories(File().parent_path());
    fs::create_symlink("../../dotfiles/nevlin.conf", File());
    store_.SaveSetting("Ostravel", "fNevlin Pos", "Left", "5");
    EXPECT_TRUE(fs::is_symlink(File()));
    EXPECT_EQ(ReadAll(target), "[fNevlin Pos]\nLeft=5\n");
    EXPECT_EQ(Names(target.parent_path()), std::set<std::string>{"nevlin.conf"});
    EXPECT_EQ(Names(File().parent_path()), std::set<std::string>{"settings.conf"});

    // A link to a file not there yet: the save makes the file and keeps the link.
    fs::remove(target);
    store_.SaveSetting("Ostravel", "fNevlin Pos", "Top", "6");
    EXPECT_TRUE(fs::is_symlink(File()));
    EXPECT_EQ(ReadAll(target), "[fNevlin Pos]\nTop=6\n");
}

TEST_F(KeyFileSettingsTest, ASaveRemovesTheNewFilesOfKilledSavesButNoneInUseOrOfTheUser) {
    const fs::path folder = File().parent_path();
    WriteAll(folder / "settings.conf.new-a1B2c3", "[fNevlin Pos]\nLeft=half a sa");
    WriteAll(folder / "settings.conf.new-backup.txt", "the user's\n");
    WriteAll(folder / "settings.conf.new-Z9y8X7", "a running save's\n");
    // A save still running holds a lock on its new file.
    const int running = ::open((folder / "settings.conf.new-Z9y8X7").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(running, LOCK_EX), 0);
    store_.SaveSetting("Ostravel", "fNevlin Pos", "Left", "5");
    ::close(running);
    EXPECT_EQ(Names(folder), (std::set<std::string>{"settings.conf", "settings.conf.new-backup.txt",
                                                    "settings.conf.new-Z9y8X7"}));
}

TEST_F(KeyFileSettingsTest, FailuresToSaveNameTheFileAndLeaveItAlone) {
    // The configuration folder's place is taken by a plain file.
    WriteAll(root_ / "config", "not a folder");
    try {
        store_.SaveSetting("Ostravel", "fNevlin Pos", "Height", "1710");
        FAIL() << "saving into a plain file succeeded";
    } catch (const platform::Error& e) {
        EXPECT_NE(std::string(e.what()).find(File().string()), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadAll(root_ / "config"), "not a folder");
}

TEST_F(KeyFileSettingsTest, UnreadableFileIsNeitherReadNorReplaced) {
    fs::create_directories(File() / "inside");
    EXPECT_EQ(store_.GetSetting("Ostravel", "fNevlin Pos", "Height", "d"), "d");
    EXPECT_EQ(store_.GetSetting("Ostravel", "fNevlin Pos", "Width", "d"), "d");
    EXPECT_EQ(LineCount(warnings_), 1);
    EXPECT_THROW(store_.SaveSetting("Ostravel", "fNevlin Pos", "Height", "1710"), platform::Error);
    EXPECT_TRUE(fs::exists(File() / "inside"));
}

TEST_F(KeyFileSettingsTest, NamesTheFileCannotHoldAreRefused) {
    EXPECT_THROW(store_.SaveSetting("Ostravel", "fNevlin [Pos]", "Height", "1"), platform::Error);
    EXPECT_THROW(store_.SaveSetting("Ostravel", "fNevlin Pos", "He=ight", "1"), platform::Error);
    EXPECT_THROW(store_.SaveSetting("Ostravel", "fNevlin Pos", "#Height", "1"), platform::Error);
    EXPECT_THROW(store_.SaveSetting("Ostravel", "fNevlin Pos", "", "1"), platform::Error);
    EXPECT_THROW(store_.SaveSetting("Ostravel", "fNevlin Pos", "Height", "\xff"), platform::Error);
    EXPECT_THROW(store_.SaveSetting("../escape", "fNevlin Pos", "Height", "1"), platform::Error);
    EXPECT_THROW(store_.SaveSetting("", "fNevlin Pos", "Height", "1"), platform::Error);
    EXPECT_FALSE(fs::exists(Config()));
    EXPECT_FALSE(fs::exists(root_ / "escape"));
}

} // namespace
