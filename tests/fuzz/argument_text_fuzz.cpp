// vantrel's argument text against a plain reference: the file name is the text before the
// first ";", the interval the number between the first and the second, rounded half to even.
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "statuswriter/startup_arguments.h"
#include "platform/process.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// The interval the reference reads from the text between the first and the second ";".
std::optional<std::int32_t> ReferenceInterval(std::string piece) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!piece.empty() && blank(piece.front())) piece.erase(0, 1);
    while (!piece.empty() && blank(piece.back())) piece.pop_back();
    bool negative = false;
    if (!piece.empty() && (piece[0] == '+' || piece[0] == '-')) {
        negative = piece[0] == '-';
        piece.erase(0, 1);
    }
    const std::size_t point = piece.find('.');
    std::string whole = piece.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : piece.substr(point + 1);
    if (whole.empty() && fraction.empty()) return std::nullopt;
    for (const std::string& digits : {whole, fraction})
        if (digits.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    whole.erase(0, whole.find_first_not_of('0') == std::string::npos ? whole.size() : whole.find_first_not_of('0'));
    if (whole.size() > 12) return std::nullopt;
    long long magnitude = whole.empty() ? 0 : std::stoll(whole);
    // Compare the fraction with one half as text: "5" followed by zeros is the tie.
    const std::string half = "5" + std::string(fraction.empty() ? 0 : fraction.size() - 1, '0');
    if (!fraction.empty() && (fraction > half || (fraction == half && magnitude % 2 == 1))) ++magnitude;
    const long long value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::size_t first = text.find(';');
    std::optional<std::int32_t> expected;
    if (first != std::string::npos) {
        const std::size_t second = text.find(';', first + 1);
        expected = ReferenceInterval(text.substr(first + 1, second == std::string::npos ? std::string::npos
                                                                                          : second - first - 1));
    }
    try {
        const Battery::StartupArguments arguments = Battery::ReadArgumentText(text);
        fuzz::Require(expected.has_value(), "only a text with a readable interval is accepted", text);
        fuzz::Require(arguments.FileName == text.substr(0, first), "the file name is the text before the first ;",
                      text);
        fuzz::Require(arguments.Interval == *expected, "the interval matches the reference", text);
    } catch (const platform::Error& refused) {
        fuzz::Require(!expected.has_value(), "a text with a readable interval is accepted", text);
        fuzz::Require(!fuzz::HasControlCharacter(refused.what()), "the refusal is one line of plain text",
                      refused.what());
    }
    return 0;
}
