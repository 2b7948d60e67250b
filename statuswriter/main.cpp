// vantrel: the error report of the status writer. Every failure ends up here as one line.
#include <cstdio>
#include <exception>
#include <string>

#include "platform/process.h"
#include "platform/version.h"
#include "statuswriter/Battery.h"
#include "statuswriter/startup_arguments.h"

namespace {

// A refused argument text is the caller's mistake; anything else is a file that failed.
constexpr int kArgumentsRefused = 2;
constexpr int kFileFailed = 1;

int Report(const char* problem, int exitStatus) {
    std::fprintf(stderr, "vantrel: %s\n", problem);
    return exitStatus;
}

constexpr const char* usage =
    "Usage: vantrel FILE;MILLISECONDS\n"
    "Writes the power status over the start of FILE every MILLISECONDS, as one record\n"
    "AC#FULL-SECONDS#SECONDS-LEFT#FLAG#PERCENT# with no line end: read it up to the fifth \"#\".\n"
    "An interval of 0 or less creates FILE empty when it is missing, and ends.\n"
    "Example: vantrel 'power.txt;5000'\n"
    "\n"
    "  vantrel --help     shows this text\n"
    "  vantrel --version  shows the version\n"
    "\n"
    "The manual: man vantrel\n";

} // namespace

int ProgramMain() {
    // Only these two whole texts are options: any other text, "./--help;1000" included,
    // is a file name and an interval.
    const std::string argumentText = platform::ArgumentText();
    if (argumentText == "--help") {
        std::fputs(usage, stdout);
        return 0;
    }
    if (argumentText == "--version") {
        std::puts("vantrel (" OSTRAVEL_PRODUCT_NAME ") " OSTRAVEL_VERSION);
        return 0;
    }
    // No argument text: nothing to do, and no file is touched.
    if (argumentText.empty()) return 0;

    Battery::StartupArguments arguments;
    try {
        arguments = Battery::ReadArgumentText(argumentText);
    } catch (const std::exception& refused) {
        return Report(refused.what(), kArgumentsRefused);
    }
    try {
        Battery::Main(arguments);
        return 0;
    } catch (const std::exception& failed) {
        return Report(failed.what(), kFileFailed);
    }
}
