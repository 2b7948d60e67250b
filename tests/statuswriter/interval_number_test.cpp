#include "statuswriter/interval_number.h"

#include <gtest/gtest.h>

#include <string>

using Battery::IntervalProblem;
using Battery::ParseIntervalNumber;

namespace {

void ExpectMilliseconds(const std::string& piece, std::int32_t expected) {
    const auto number = ParseIntervalNumber(piece);
    EXPECT_EQ(number.Problem, IntervalProblem::None) << '"' << piece << '"';
    EXPECT_EQ(number.Milliseconds, expected) << '"' << piece << '"';
}

void ExpectProblem(const std::string& piece, IntervalProblem expected) {
    EXPECT_EQ(ParseIntervalNumber(piece).Problem, expected) << '"' << piece << '"';
}

} // namespace

TEST(IntervalNumber, ExactHalvesGoToTheEvenNeighbour) {
    ExpectMilliseconds("2.5", 2);
    ExpectMilliseconds("3.5", 4);
    ExpectMilliseconds("0.5", 0);
    ExpectMilliseconds("1.5", 2);
    ExpectMilliseconds("-2.5", -2);
    ExpectMilliseconds("-3.5", -4);
    ExpectMilliseconds("-0.5", 0);
    ExpectMilliseconds("2.50000", 2);
}

TEST(IntervalNumber, OtherFractionsGoToTheNearest) {
    ExpectMilliseconds("2.4999999", 2);
    ExpectMilliseconds("2.5000001", 3);
    ExpectMilliseconds("0.51", 1);
    ExpectMilliseconds("0.49", 0);
    ExpectMilliseconds("-1.6", -2);
    ExpectMilliseconds("999.9", 1000);
    ExpectMilliseconds(".5", 0);
    ExpectMilliseconds(".7", 1);
    ExpectMilliseconds("5.", 5);
}

TEST(IntervalNumber, BlanksAroundAndALeadingSignAreAccepted) {
    ExpectMilliseconds(" 250", 250);
    ExpectMilliseconds("250   ", 250);
    ExpectMilliseconds("  250 ", 250);
    ExpectMilliseconds("\t250\t", 250);
    ExpectMilliseconds("+250", 250);
    ExpectMilliseconds(" -250 ", -250);
    ExpectMilliseconds("-0", 0);
    ExpectMilliseconds("0007", 7);
}

TEST(IntervalNumber, TheSigned32BitRangeHoldsUpToItsEnds) {
    ExpectMilliseconds("2147483647", 2147483647);
    ExpectMilliseconds("-2147483648", -2147483647 - 1);
    ExpectMilliseconds("2147483646.5", 2147483646);
    ExpectMilliseconds("-2147483648.5", -2147483647 - 1);
    ExpectMilliseconds("000000000000002147483647", 2147483647);
    ExpectProblem("2147483648", IntervalProblem::OutOfRange);
    ExpectProblem("-2147483649", IntervalProblem::OutOfRange);
    ExpectProblem("3000000000", IntervalProblem::OutOfRange);
    ExpectProblem("2147483647.5", IntervalProblem::OutOfRange); // rounds up to the even 2147483648
    ExpectMilliseconds("-2147483647.6", -2147483647 - 1);
    ExpectProblem("-2147483648.6", IntervalProblem::OutOfRange);
    ExpectProblem("99999999999999999999999999", IntervalProblem::OutOfRange);
}

TEST(IntervalNumber, AnythingButADecimalNumberIsRefused) {
    ExpectProblem("", IntervalProblem::Empty);
    ExpectProblem("   ", IntervalProblem::Empty);
    for (const char* piece : {"abc", "12abc", "1e3", "1,000", "0x10", "1 2", "- 5", "+", "-", ".", "1.2.3",
                              "++1", "1-", "١٢", "5 ms"}) {
        ExpectProblem(piece, IntervalProblem::NotANumber);
    }
}
