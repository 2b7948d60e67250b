// The close chord's save killed at every step: the key file holds the old placement or the
// new one, byte for byte, never a mixture, and the other groups never change.
#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/linux/gui/settings_store.h"
#include "tests/settings/settings_files.h"
#include "tests/monitor/Fakes.h"

namespace fs = std::filesystem;
using platform::x11::KeyFileSettings;
using platform::x11::SaveStep;

namespace {

const std::string kOldFile = "# placed by hand\n"
                             "\n"
                             "[Other]\n"
                             "Colour=red\n"
                             "\n"
                             "[fNevlin Pos]\n"
                             "Height=630\n"
                             "Width=1680\n"
                             "Left=100\n"
                             "Top=200\n"
                             "\n"
                             "[After]\n"
                             "Name[ru]=Батарея\n";
const std::string kNewFile = "# placed by hand\n"
                             "\n"
                             "[Other]\n"
                             "Colour=red\n"
                             "\n"
                             "[fNevlin Pos]\n"
                             "Height=645\n"
                             "Width=1695\n"
                             "Left=2000\n"
                             "Top=3000\n"
                             "\n"
                             "[After]\n"
                             "Name[ru]=Батарея\n";

// What one save left: how many steps it passed, and whether it was killed.
struct SaveRun {
    int stepsPassed = 0;
    bool killed = false;
};

class PlacementKillTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "ostravel-kill-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path File() const { return root_ / "Ostravel" / "settings.conf"; }

    // Runs the close chord's save in a child process that is killed with SIGKILL once it
    // has passed `killAfter` steps of the save (never when killAfter is negative).
    SaveRun SaveInChild(int killAfter, bool oneKeyAtATime = false) {
        int pipeEnds[2];
        EXPECT_EQ(::pipe(pipeEnds), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(pipeEnds[0]);
            KeyFileSettings store(root_.string());
            int passed = 0;
            store.OnSaveStep([&](SaveStep) {
                ++passed;
                const char count = static_cast<char>(passed);
                (void)!::write(pipeEnds[1], &count, 1);
                if (passed == killAfter) ::raise(SIGKILL);
            });
            SaveWith(store, oneKeyAtATime);
            ::_exit(0);
        }
        ::close(pipeEnds[1]);
        SaveRun run;
        char count = 0;
        while (::read(pipeEnds[0], &count, 1) == 1) run.stepsPassed = count;
        ::close(pipeEnds[0]);
        int status = 0;
        EXPECT_EQ(::waitpid(child, &status, 0), child);
        run.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        if (!run.killed) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        }
        return run;
    }

    // The window at {2000, 3000, 1695, 645} saves through the store.
    static void SaveWith(KeyFileSettings& store, bool oneKeyAtATime) {
        if (oneKeyAtATime) {
            // The way a store without one-change saves would do it, for contrast.
            for (const auto& [key, value] : std::vector<std::pair<const char*, const char*>>{
                     {"Height", "645"}, {"Width", "1695"}, {"Left", "2000"}, {"Top", "3000"}})
                store.platform::SettingsStore::SaveSettings("Ostravel", "fNevlin Pos", {{key, value}});
            return;
        }
        std::string warnings;
        const fakes::FormOverStore opened = fakes::OpenFormOver(store, warnings);
        opened.Window->CurrentPlacement = {2000, 3000, 1695, 645};
        opened.Form->WindowPosition(*opened.Form, true);
    }

    fs::path root_;
};

TEST_F(PlacementKillTest, AKillAtAnyStepOfTheSaveLeavesTheOldPlacementOrTheNew) {
    int killAfter = 1;
    for (;; ++killAfter) {
        SCOPED_TRACE("killed after step " + std::to_string(killAfter));
        WriteAll(File(), kOldFile);
        const SaveRun run = SaveInChild(killAfter);
        const std::string left = ReadAll(File());
        EXPECT_TRUE(left == kOldFile || left == kNewFile) << left;
        // The step that renames is the one after which the new file is whole.
        if (run.killed) {
            EXPECT_EQ(left, run.stepsPassed >= 6 ? kNewFile : kOldFile);
        }
        if (!run.killed) break;
    }
    // Folder made, new file created, written, flushed, closed, renamed, folder flushed.
    EXPECT_EQ(killAfter, 8);

    // The new files the kills left unrenamed do not stand in the way of the next save, which
    // removes them.
    WriteAll(File(), kOldFile);
    EXPECT_FALSE(SaveInChild(-1).killed);
    EXPECT_EQ(ReadAll(File()), kNewFile);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(File().parent_path())) names.push_back(entry.path().filename());
    EXPECT_EQ(names, std::vector<std::string>{"settings.conf"});
}

TEST_F(PlacementKillTest, SavingOneKeyAtATimeWouldLeaveAMixtureAtSomeKill) {
    bool mixed = false;
    for (int killAfter = 1; !mixed; ++killAfter) {
        WriteAll(File(), kOldFile);
        const SaveRun run = SaveInChild(killAfter, true);
        const std::string left = ReadAll(File());
        mixed = left != kOldFile && left != kNewFile;
        if (!run.killed) break;
    }
    EXPECT_TRUE(mixed) << "the kill harness cannot tell a torn save";
}

TEST_F(PlacementKillTest, AKillWhileABrokenFileIsKeptLosesNeitherIt) {
    const std::string broken = "Height=1710 outside any group\n";
    for (int killAfter = 1;; ++killAfter) {
        SCOPED_TRACE("killed after step " + std::to_string(killAfter));
        fs::remove_all(root_ / "Ostravel");
        WriteAll(File(), broken);
        WriteAll(File().string() + ".bad", "earlier\n");
        const SaveRun run = SaveInChild(killAfter);
        // The broken file moved aside whole, the earlier copy one place up.
        EXPECT_EQ(ReadAll(File().string() + ".bad"), broken);
        EXPECT_EQ(ReadAll(File().string() + ".bad.1"), "earlier\n");
        const bool whole = fs::exists(File());
        if (whole) {
            EXPECT_EQ(ReadAll(File()), "[fNevlin Pos]\nHeight=645\nWidth=1695\nLeft=2000\nTop=3000\n");
        }
        if (!run.killed) {
            EXPECT_TRUE(whole);
            break;
        }
    }
}

} // namespace
