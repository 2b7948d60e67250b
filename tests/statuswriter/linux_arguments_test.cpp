// The Linux argument text: the arguments arrive split and are joined with single blanks.
#include "platform/linux/arguments.h"
#include "platform/process.h"

#include <gtest/gtest.h>

using platform::linux_detail::JoinArguments;

TEST(LinuxArguments, ArgumentsAfterTheProgramNameJoinWithSingleBlanks) {
    const char* none[] = {"vantrel"};
    EXPECT_EQ(JoinArguments(1, none), "");
    EXPECT_EQ(JoinArguments(0, nullptr), "");

    const char* quotedWhole[] = {"vantrel", "power.txt ;1000"};
    const char* split[] = {"vantrel", "power.txt", ";1000"};
    EXPECT_EQ(JoinArguments(2, quotedWhole), "power.txt ;1000");
    EXPECT_EQ(JoinArguments(3, split), "power.txt ;1000");

    const char* emptyOnes[] = {"vantrel", "", "", "a  b"};
    EXPECT_EQ(JoinArguments(4, emptyOnes), "  a  b");
}

TEST(LinuxArguments, ArgumentTextReadsTheKeptArguments) {
    char program[] = "vantrel";
    char first[] = "out.txt;";
    char second[] = "5000";
    char* argv[] = {program, first, second, nullptr};
    platform::linux_detail::KeepArguments(3, argv);
    EXPECT_EQ(platform::ArgumentText(), "out.txt; 5000");
    platform::linux_detail::KeepArguments(0, nullptr);
    EXPECT_EQ(platform::ArgumentText(), "");
}
