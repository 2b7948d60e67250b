#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/linux/gui/settings_store.h"

using platform::x11::ApplicationNameFrom;
using platform::x11::ConfigRootFrom;

TEST(ConfigRoot, FollowsXdgConfigHomeThenHomeThenTheSystem) {
    EXPECT_EQ(ConfigRootFrom("/x/conf", "/home/u", "/fallback"), "/x/conf");
    EXPECT_EQ(ConfigRootFrom("", "/home/u", "/fallback"), "/home/u/.config");
    EXPECT_EQ(ConfigRootFrom(nullptr, "/home/u", "/fallback"), "/home/u/.config");
    EXPECT_EQ(ConfigRootFrom("relative/conf", "/home/u", "/fallback"), "/home/u/.config");
    EXPECT_EQ(ConfigRootFrom(nullptr, nullptr, "/fallback"), "/fallback");
    EXPECT_EQ(ConfigRootFrom("", "", "/fallback"), "/fallback");
}

TEST(ApplicationName, IsTheProductNameElseTheExecutableWithoutExtension) {
    EXPECT_EQ(ApplicationNameFrom("Ostravel", "/usr/bin/nevlin"), "Ostravel");
    EXPECT_EQ(ApplicationNameFrom("", "/usr/bin/nevlin"), "nevlin");
    EXPECT_EQ(ApplicationNameFrom("", "/opt/o/nevlin.exe"), "nevlin");
    EXPECT_EQ(ApplicationNameFrom("", "/opt/o.d/nevlin.1.2"), "nevlin.1");
    EXPECT_EQ(ApplicationNameFrom("", "/opt/o/nevlin (deleted)"), "nevlin");
    EXPECT_EQ(ApplicationNameFrom("", "/opt/o/.nevlin"), ".nevlin");
    EXPECT_EQ(ApplicationNameFrom("", "nevlin.bin"), "nevlin");
}

TEST(ApplicationName, OfThisBuildIsTheProductName) { EXPECT_EQ(platform::ApplicationName(), "Ostravel"); }

TEST(UserSettings, LiveUnderXdgConfigHome) {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (!xdg || std::string(xdg) != SETTINGS_TEST_XDG_HOME) GTEST_SKIP() << "run through ctest";
    const std::filesystem::path expected = std::string(SETTINGS_TEST_XDG_HOME) + "/settings-test/settings.conf";
    std::filesystem::remove(expected);

    auto store = platform::OpenUserSettings();
    EXPECT_EQ(store->Location("settings-test"), expected.string());
    store->SaveSetting("settings-test", "fNevlin Pos", "Width", "2400");
    EXPECT_TRUE(std::filesystem::exists(expected));
    EXPECT_EQ(platform::OpenUserSettings()->GetSetting("settings-test", "fNevlin Pos", "Width", ""), "2400");
}
