// Linux detail of ArgumentText: the arguments arrive already split.
#pragma once

#include <string>

namespace platform::linux_detail {

void KeepArguments(int argc, char** argv);
// argv[1..] joined with single blanks.
std::string JoinArguments(int argc, const char* const* argv);

} // namespace platform::linux_detail
