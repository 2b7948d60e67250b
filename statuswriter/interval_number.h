// The interval's number: blanks around it, a leading sign, a fraction rounded half to even.
#pragma once

#include <cstdint>
#include <string_view>

namespace Battery {

enum class IntervalProblem { None, Empty, NotANumber, OutOfRange };

struct IntervalNumber {
    IntervalProblem Problem = IntervalProblem::None;
    std::int32_t Milliseconds = 0; // valid when Problem is None
};

// Accepts [blanks][+|-]digits[.digits][blanks], with a digit on at least one side of the
// full stop. Blanks are spaces and tabs; a piece of blanks only counts as empty.
IntervalNumber ParseIntervalNumber(std::string_view piece);

} // namespace Battery
