#include "statuswriter/interval_number.h"

#include <limits>

#include "platform/blanks.h"

namespace Battery {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TakeDigits(std::string_view& text) {
    std::size_t count = 0;
    while (count < text.size() && IsDigit(text[count])) ++count;
    const std::string_view digits = text.substr(0, count);
    text.remove_prefix(count);
    return digits;
}

// Whether the fraction's digits make the magnitude go up: above one half always, exactly
// one half only when that makes it even.
bool RoundsUp(std::string_view fraction, std::int64_t whole) {
    if (fraction.empty() || fraction.front() < '5') return false;
    if (fraction.front() > '5') return true;
    for (const char digit : fraction.substr(1)) {
        if (digit != '0') return true;
    }
    return whole % 2 != 0;
}

} // namespace

IntervalNumber ParseIntervalNumber(std::string_view piece) {
    std::string_view text = platform::TrimBlanks(piece);
    if (text.empty()) return {IntervalProblem::Empty};

    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::string_view whole = TakeDigits(text);
    std::string_view fraction;
    if (!text.empty() && text.front() == '.') {
        text.remove_prefix(1);
        fraction = TakeDigits(text);
    }
    if (!text.empty() || (whole.empty() && fraction.empty())) return {IntervalProblem::NotANumber};

    while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
    // Eleven significant digits are beyond any 32-bit value; ten still fit in 64 bits.
    if (whole.size() > 10) return {IntervalProblem::OutOfRange};
    std::int64_t magnitude = 0;
    for (const char digit : whole) magnitude = magnitude * 10 + (digit - '0');
    if (RoundsUp(fraction, magnitude)) ++magnitude;

    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
        return {IntervalProblem::OutOfRange};
    }
    return {IntervalProblem::None, static_cast<std::int32_t>(value)};
}

} // namespace Battery
