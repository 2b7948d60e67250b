// The argument text: FILE;MILLISECONDS, split at every ";".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Battery {

struct StartupArguments {
    std::string FileName;      // piece 1, exactly, blanks included
    std::int32_t Interval = 0; // piece 2, milliseconds
};

// Splits at every ";", keeping empty pieces and trimming nothing.
std::vector<std::string_view> SplitPieces(std::string_view text);

// Reads a non-empty argument text; pieces after the second are ignored. Throws
// platform::Error naming the problem, the input and the expected form.
StartupArguments ReadArgumentText(std::string_view text);

} // namespace Battery
