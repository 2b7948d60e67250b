// The argument text taken from a whole Windows command line.
#include <gtest/gtest.h>

#include "platform/windows/command_line.h"
#include "platform/windows/exact_path.h"
#include "platform/windows/wide_text.h"

using platform::windows_detail::ArgumentsAfterProgramName;
using platform::windows_detail::ExactFileName;
using platform::windows_detail::Utf8FromWide;

TEST(ArgumentsAfterProgramName, QuotedNameWithBlanksIsOneName) {
    EXPECT_EQ(ArgumentsAfterProgramName(LR"("C:\Program Files\Ostravel\Vantrel.exe" power.txt;5000)"),
              L"power.txt;5000");
    EXPECT_EQ(ArgumentsAfterProgramName(LR"(C:\"Program Files"\Vantrel.exe a;1)"), L"a;1");
}

TEST(ArgumentsAfterProgramName, UnquotedNameEndsAtFirstBlank) {
    EXPECT_EQ(ArgumentsAfterProgramName(L"Vantrel.exe power.txt;5000"), L"power.txt;5000");
    EXPECT_EQ(ArgumentsAfterProgramName(L"Vantrel\tpower.txt;5000"), L"power.txt;5000");
}

TEST(ArgumentsAfterProgramName, BlanksAfterTheNameGoButTheRestIsLiteral) {
    EXPECT_EQ(ArgumentsAfterProgramName(L"Vantrel.exe   \t power.txt ;1000"), L"power.txt ;1000");
    EXPECT_EQ(ArgumentsAfterProgramName(L"Vantrel.exe power.txt;1000  "), L"power.txt;1000  ");
    EXPECT_EQ(ArgumentsAfterProgramName(L"Vantrel.exe \"my file.txt\";5"), L"\"my file.txt\";5");
    EXPECT_EQ(ArgumentsAfterProgramName(L"Vantrel.exe a  b;\\\"1\\\""), L"a  b;\\\"1\\\"");
}

TEST(ArgumentsAfterProgramName, NoArguments) {
    EXPECT_EQ(ArgumentsAfterProgramName(L""), L"");
    EXPECT_EQ(ArgumentsAfterProgramName(L"Vantrel.exe"), L"");
    EXPECT_EQ(ArgumentsAfterProgramName(L"Vantrel.exe    "), L"");
    EXPECT_EQ(ArgumentsAfterProgramName(L"\"C:\\Program Files\\Vantrel.exe\""), L"");
    // An unclosed quote runs to the end, so all of it is the name.
    EXPECT_EQ(ArgumentsAfterProgramName(L"\"C:\\Program Files\\Vantrel.exe a;1"), L"");
}

TEST(Utf8FromWide, CyrillicAndSurrogatePairs) {
    EXPECT_EQ(Utf8FromWide(L"\u0431;1"), "\xD0\xB1;1");
    EXPECT_EQ(Utf8FromWide(L"\U0001F50B"), "\xF0\x9F\x94\x8B");
    EXPECT_EQ(Utf8FromWide(L""), "");
}

TEST(ExactFileName, OnlyNamesEndingInBlanksOrDotsTakeTheVerbatimForm) {
    EXPECT_EQ(ExactFileName(L"C:\\data\\power.txt"), L"C:\\data\\power.txt");
    EXPECT_EQ(ExactFileName(L"C:\\data\\power.txt "), L"\\\\?\\C:\\data\\power.txt ");
    EXPECT_EQ(ExactFileName(L"C:/data/power.txt."), L"\\\\?\\C:\\data\\power.txt.");
    EXPECT_EQ(ExactFileName(L"\\\\server\\share\\p "), L"\\\\?\\UNC\\server\\share\\p ");
    EXPECT_EQ(ExactFileName(L"C:\\data\\.."), L"C:\\data\\..");
    EXPECT_EQ(ExactFileName(L"C:\\data\\"), L"C:\\data\\");
    EXPECT_EQ(ExactFileName(L""), L"");
    const std::wstring relative = ExactFileName(L"power.txt ");
    EXPECT_EQ(relative.substr(0, 4), L"\\\\?\\");
    EXPECT_EQ(relative.substr(relative.size() - 11), L"\\power.txt ");
}
