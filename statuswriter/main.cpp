// vantrel: the error report of the status writer. Every failure ends up here as one line.
#include <cstdio>
#include <exception>
#include <string>

#include "platform/power_details.h"
#include "platform/process.h"
#include "platform/version.h"
#include "statuswriter/Battery.h"
#include "statuswriter/details_report.h"
#include "statuswriter/startup_arguments.h"

namespace {

// A refused argument text is the caller's mistake; anything else is a file or a reading that failed.
constexpr int kArgumentsRefused = 2;
constexpr int kFileFailed = 1;
constexpr int kReadingFailed = 1;

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
    "  vantrel --details  shows the power status and each battery's details once\n"
    "  vantrel --json     the same as one JSON object\n"
    "  vantrel --help     shows this text\n"
    "  vantrel --version  shows the version\n"
    "\n"
    "The manual: man vantrel\n";

// One reading, printed by `report`.
int PrintDetails(std::string (*report)(const platform::PowerDetails&)) {
    const platform::Result<platform::PowerDetails> details = platform::GetPowerDetails();
    if (!details) return Report(("cannot read the power status: " + details.Reason()).c_str(), kReadingFailed);
    std::fputs(report(*details).c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : Report("cannot write the report to standard output", kFileFailed);
}

} // namespace

int ProgramMain() {
    // Only these whole texts are options: any other text, "./--help;1000" and "./--json;1000"
    // included, is a file name and an interval.
    const std::string argumentText = platform::ArgumentText();
    if (argumentText == "--details") return PrintDetails(Battery::DetailsReport);
    if (argumentText == "--json") return PrintDetails(Battery::DetailsJson);
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
