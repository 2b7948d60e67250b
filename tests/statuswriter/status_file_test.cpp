// The status file write, through the platform and through WriteStatus.
#include "platform/status_file.h"
#include "statuswriter/Battery.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "temp_folder.h"

using platform::WriteAtStart;

TEST(StatusFile, AMissingFileIsCreatedHoldingJustTheBytes) {
    TempFolder folder;
    const std::string file = folder.PathOf("power.txt");
    ASSERT_TRUE(WriteAtStart(file, "1#-1#-1#9#87#").Ok());
    EXPECT_EQ(ReadWholeFile(file), "1#-1#-1#9#87#");

    const std::string empty = folder.PathOf("empty.txt");
    ASSERT_TRUE(WriteAtStart(empty, "").Ok());
    EXPECT_TRUE(std::filesystem::exists(empty));
    EXPECT_EQ(std::filesystem::file_size(empty), 0u);
}

TEST(StatusFile, OverwritesTheStartAndNeverShortens) {
    TempFolder folder;
    const std::string file = folder.PathOf("power.txt");
    ASSERT_TRUE(WriteAtStart(file, "1#-1#-1#9#100#").Ok());
    ASSERT_TRUE(WriteAtStart(file, "1#-1#-1#9#99#").Ok());
    EXPECT_EQ(ReadWholeFile(file), "1#-1#-1#9#99##");

    std::string other(100, 'x');
    for (std::size_t i = 0; i < other.size(); ++i) other[i] = static_cast<char>('a' + i % 26);
    WriteWholeFile(file, other);
    ASSERT_TRUE(WriteAtStart(file, "0#-1#5400#1#75#").Ok());
    EXPECT_EQ(ReadWholeFile(file), "0#-1#5400#1#75#" + other.substr(15));

    ASSERT_TRUE(WriteAtStart(file, "").Ok());
    EXPECT_EQ(ReadWholeFile(file), "0#-1#5400#1#75#" + other.substr(15));
}

TEST(StatusFile, LargeWritesArriveWhole) {
    TempFolder folder;
    const std::string file = folder.PathOf("big.bin");
    std::string bytes(4 << 20, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / 4096);
    ASSERT_TRUE(WriteAtStart(file, bytes).Ok());
    EXPECT_EQ(ReadWholeFile(file), bytes);
}

TEST(StatusFile, FailuresCarryTheSystemsReasonAndTouchNothing) {
    TempFolder folder;
    const auto folderAsFile = WriteAtStart(folder.Path().string(), "0#0#0#0#0#");
    EXPECT_FALSE(folderAsFile.Ok());
    EXPECT_EQ(folderAsFile.Reason(), "Is a directory");

    const auto missingFolder = WriteAtStart(folder.PathOf("missing/power.txt"), "0#0#0#0#0#");
    EXPECT_FALSE(missingFolder.Ok());
    EXPECT_EQ(missingFolder.Reason(), "No such file or directory");
    EXPECT_FALSE(std::filesystem::exists(folder.PathOf("missing")));

    const auto emptyName = WriteAtStart("", "");
    EXPECT_FALSE(emptyName.Ok());
    EXPECT_EQ(emptyName.Reason(), "No such file or directory");
}

TEST(WriteStatus, AFailureIsReportedWithTheFileNameAndReason) {
    TempFolder folder;
    const std::string file = folder.PathOf("missing/power \"1\".txt");
    try {
        Battery::WriteStatus(file, "0#0#0#0#0#");
        FAIL() << "the write into a missing folder succeeded";
    } catch (const platform::Error& error) {
        EXPECT_EQ(std::string(error.what()), "cannot write the status file \"" + folder.PathOf("missing/power \\\"1\\\".txt") +
                                                 "\": No such file or directory");
    }

    const std::string written = folder.PathOf("power.txt");
    Battery::WriteStatus(written, "-1#0#0#0#0#");
    EXPECT_EQ(ReadWholeFile(written), "-1#0#0#0#0#");
}
