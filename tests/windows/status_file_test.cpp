// Writing over the start of a file through the Win32 file functions.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/status_file.h"

namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class WriteAtStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() / ("ostravel-status-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    // The folder is ASCII; the leaf is UTF-8 and must not pass through the ANSI code page.
    std::string Name(const char* leaf) const { return folder.string() + "\\" + leaf; }
    std::filesystem::path folder;
};

} // namespace

TEST_F(WriteAtStartTest, CreatesAMissingFileAndOverwritesOnlyTheStart) {
    const std::string file = Name("power.txt");
    ASSERT_TRUE(platform::WriteAtStart(file, "1#-1#-1#9#100#").Ok());
    ASSERT_TRUE(platform::WriteAtStart(file, "1#-1#-1#9#99#").Ok());
    EXPECT_EQ(ReadAll(file), "1#-1#-1#9#99##");
}

TEST_F(WriteAtStartTest, EmptyWriteCreatesButNeverChanges) {
    const std::string file = Name("empty.txt");
    ASSERT_TRUE(platform::WriteAtStart(file, "").Ok());
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(ReadAll(file), "");
    ASSERT_TRUE(platform::WriteAtStart(file, "abc").Ok());
    ASSERT_TRUE(platform::WriteAtStart(file, "").Ok());
    EXPECT_EQ(ReadAll(file), "abc");
}

TEST_F(WriteAtStartTest, NonAsciiNameIsTakenAsUtf8) {
    const std::string file = Name("\xD0\xB1\xD0\xB0\xD1\x82.txt"); // "бат.txt"
    ASSERT_TRUE(platform::WriteAtStart(file, "0#").Ok());
    EXPECT_EQ(ReadAll(folder / L"\u0431\u0430\u0442.txt"), "0#");
}

TEST_F(WriteAtStartTest, ANameEndingWithABlankIsKeptExactly) {
    EXPECT_TRUE(platform::WriteAtStart(Name("power.txt "), "1#").Ok());
    std::vector<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().wstring());
    EXPECT_EQ(names, std::vector<std::wstring>{L"power.txt "});
    // Only the verbatim form reaches the name again; removing the folder would not.
    std::filesystem::remove(L"\\\\?\\" + folder.wstring() + L"\\power.txt ");
}

TEST_F(WriteAtStartTest, FailuresCarryTheSystemsReasonOnOneLine) {
    for (const std::string& bad : {Name("missing\\power.txt"), folder.string(), std::string()}) {
        const platform::Result<platform::Done> result = platform::WriteAtStart(bad, "1#");
        EXPECT_FALSE(result.Ok()) << bad;
        EXPECT_FALSE(result.Reason().empty()) << bad;
        EXPECT_EQ(result.Reason().find_first_of("\r\n"), std::string::npos) << result.Reason();
        EXPECT_NE(result.Reason().back(), '.') << result.Reason();
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}
