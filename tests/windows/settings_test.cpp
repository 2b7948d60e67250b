// The registry settings store and the application name.
#include <gtest/gtest.h>

#include "platform/settings.h"
#include "platform/windows/gui/application_name.h"
#include "platform/windows/gui/registry_settings.h"

using platform::windows_detail::FileStem;
using platform::windows_detail::SettingsKeyPath;

TEST(FileStem, LastPartWithoutItsExtension) {
    EXPECT_EQ(FileStem(L"C:\\Program Files\\Ostravel\\Nevlin.exe"), L"Nevlin");
    EXPECT_EQ(FileStem(L"Z:/work/build/Nevlin.exe"), L"Nevlin");
    EXPECT_EQ(FileStem(L"C:\\apps.d\\monitor"), L"monitor");
    EXPECT_EQ(FileStem(L"C:\\x\\archive.tar.exe"), L"archive.tar");
    EXPECT_EQ(FileStem(L"C:\\x\\.hidden"), L".hidden");
}

TEST(ApplicationName, FallsBackToTheExecutablesNameWithoutVersionInformation) {
    EXPECT_EQ(platform::ApplicationName(), "windows_unit_tests");
}

TEST(RegistrySettings, AbsentGivesTheDefaultAndSavedValuesComeBack) {
    const std::string application = "Ostravel unit test";
    auto store = platform::OpenUserSettings();
    EXPECT_EQ(store->GetSetting(application, "fNevlin Pos", "Left", "123"), "123");
    store->SaveSetting(application, "fNevlin Pos", "Left", "4200");
    store->SaveSetting(application, "fNevlin Pos", "Top", "");
    store->SaveSetting(application, "fNevlin Pos", "Label", "\xD0\x9E\xD1\x82"); // "От"
    EXPECT_EQ(store->GetSetting(application, "fNevlin Pos", "Left", "123"), "4200");
    EXPECT_EQ(store->GetSetting(application, "fNevlin Pos", "Top", "9"), "");
    EXPECT_EQ(store->GetSetting(application, "fNevlin Pos", "Label", ""), "\xD0\x9E\xD1\x82");
    EXPECT_EQ(store->GetSetting(application, "fNevlin Pos", "Width", "1680"), "1680");
    EXPECT_EQ(store->GetSetting(application, "other section", "Left", "7"), "7");
    store->SaveSetting(application, "fNevlin Pos", "Left", "-15");
    EXPECT_EQ(store->GetSetting(application, "fNevlin Pos", "Left", "123"), "-15");
}

TEST(RegistrySettings, LivesInTheBranchOfTheSystemsOwnSettingServices) {
    EXPECT_EQ(SettingsKeyPath("Ostravel", "fNevlin Pos"), "Software\\VB and VBA Program Settings\\Ostravel\\fNevlin Pos");
    EXPECT_EQ(platform::OpenUserSettings()->Location("Ostravel"),
              "HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Ostravel");
}
