// vantrel: the error report of the status writer. Every failure ends up here as one line.
#include <cstdio>
#include <stdexcept>

#include "platform/process.h"
#include "statuswriter/Battery.h"

namespace {

int Report(const char* problem, int exitStatus) {
    std::fprintf(stderr, "vantrel: %s\n", problem);
    return exitStatus;
}

} // namespace

int ProgramMain() {
    try {
        Battery::Main();
        return 0;
    } catch (const std::invalid_argument& error) {
        return Report(error.what(), 2);
    } catch (const std::exception& error) {
        return Report(error.what(), 1);
    }
}
