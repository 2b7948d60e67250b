#include "statuswriter/startup_arguments.h"

#include "platform/message_text.h"
#include "platform/process.h"
#include "statuswriter/interval_number.h"

namespace Battery {
namespace {

using platform::QuotedForMessage;

[[noreturn]] void RejectArguments(const std::string& problem, std::string_view text) {
    throw platform::Error(problem + " in the argument text " + QuotedForMessage(text) +
                                "; expected FILE;MILLISECONDS, for example power.txt;5000");
}

} // namespace

std::vector<std::string_view> SplitPieces(std::string_view text) {
    std::vector<std::string_view> pieces;
    for (;;) {
        const std::size_t separator = text.find(';');
        pieces.push_back(text.substr(0, separator));
        if (separator == std::string_view::npos) return pieces;
        text.remove_prefix(separator + 1);
    }
}

StartupArguments ReadArgumentText(std::string_view text) {
    const std::vector<std::string_view> pieces = SplitPieces(text);
    if (pieces.size() < 2) RejectArguments("no interval", text);

    const IntervalNumber interval = ParseIntervalNumber(pieces[1]);
    switch (interval.Problem) {
    case IntervalProblem::None:
        break;
    case IntervalProblem::Empty:
        RejectArguments("empty interval", text);
    case IntervalProblem::NotANumber:
        RejectArguments("the interval " + QuotedForMessage(pieces[1]) + " is not a number", text);
    case IntervalProblem::OutOfRange:
        RejectArguments("the interval " + QuotedForMessage(pieces[1]) + " is outside -2147483648..2147483647",
                        text);
    }
    return {std::string(pieces[0]), interval.Milliseconds};
}

} // namespace Battery
