#include "platform/linux/arguments.h"

#include "platform/process.h"

namespace platform::linux_detail {
namespace {
int keptCount = 0;
char** keptValues = nullptr;
} // namespace

void KeepArguments(int argc, char** argv) {
    keptCount = argc;
    keptValues = argv;
}

std::string JoinArguments(int argc, const char* const* argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) text += ' ';
        text += argv[i];
    }
    return text;
}

} // namespace platform::linux_detail

namespace platform {

std::string ArgumentText() {
    return linux_detail::JoinArguments(linux_detail::keptCount, linux_detail::keptValues);
}

} // namespace platform
