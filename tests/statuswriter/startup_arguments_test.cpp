#include "statuswriter/startup_arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/process.h"

using Battery::ReadArgumentText;
using Battery::SplitPieces;

namespace {

std::vector<std::string> Pieces(std::string_view text) {
    std::vector<std::string> pieces;
    for (const auto piece : SplitPieces(text)) pieces.emplace_back(piece);
    return pieces;
}

// The report of a refused argument text.
std::string RefusalOf(std::string_view text) {
    try {
        ReadArgumentText(text);
    } catch (const platform::Error& error) {
        return error.what();
    }
    ADD_FAILURE() << "accepted: " << text;
    return {};
}

} // namespace

TEST(SplitPieces, EverySemicolonSplitsAndEmptyPiecesStay) {
    EXPECT_EQ(Pieces("power.txt"), (std::vector<std::string>{"power.txt"}));
    EXPECT_EQ(Pieces(";"), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(Pieces("a;;b;"), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(Pieces(" a ; b "), (std::vector<std::string>{" a ", " b "}));
}

TEST(ReadArgumentText, ThePiecesBecomeFileNameAndInterval) {
    auto arguments = ReadArgumentText("power.txt;5000");
    EXPECT_EQ(arguments.FileName, "power.txt");
    EXPECT_EQ(arguments.Interval, 5000);

    arguments = ReadArgumentText("power.txt ;1000");
    EXPECT_EQ(arguments.FileName, "power.txt ");
    EXPECT_EQ(arguments.Interval, 1000);

    arguments = ReadArgumentText("power.txt; 250 ;extra;;more");
    EXPECT_EQ(arguments.FileName, "power.txt");
    EXPECT_EQ(arguments.Interval, 250);

    arguments = ReadArgumentText(";1000");
    EXPECT_EQ(arguments.FileName, "");
    EXPECT_EQ(arguments.Interval, 1000);

    arguments = ReadArgumentText("C:\\data\\power file.txt;-3.5");
    EXPECT_EQ(arguments.FileName, "C:\\data\\power file.txt");
    EXPECT_EQ(arguments.Interval, -4);
}

TEST(ReadArgumentText, RefusalsNameTheProblemTheInputAndTheExpectedForm) {
    const std::string form = "; expected FILE;MILLISECONDS, for example power.txt;5000";
    EXPECT_EQ(RefusalOf("power.txt"), "no interval in the argument text \"power.txt\"" + form);
    EXPECT_EQ(RefusalOf("power.txt;"), "empty interval in the argument text \"power.txt;\"" + form);
    EXPECT_EQ(RefusalOf(";"), "empty interval in the argument text \";\"" + form);
    EXPECT_EQ(RefusalOf("power.txt;;1000"), "empty interval in the argument text \"power.txt;;1000\"" + form);
    EXPECT_EQ(RefusalOf("power.txt;abc"),
              "the interval \"abc\" is not a number in the argument text \"power.txt;abc\"" + form);
    EXPECT_EQ(RefusalOf("power.txt;3000000000"),
              "the interval \"3000000000\" is outside -2147483648..2147483647 in the argument text "
              "\"power.txt;3000000000\"" +
                  form);
}

TEST(ReadArgumentText, ARefusalStaysOnOneLine) {
    EXPECT_EQ(RefusalOf("a\nb;x\"y\\"),
              "the interval \"x\\\"y\\\\\" is not a number in the argument text \"a\\x0ab;x\\\"y\\\\\"; expected "
              "FILE;MILLISECONDS, for example power.txt;5000");
}
