#include "statuswriter/Battery.h"

#include <cstdint>
#include <stdexcept>

#include "platform/process.h"
#include "platform/status_file.h"
#include "statuswriter/message_text.h"
#include "statuswriter/startup_arguments.h"
#include "statuswriter/status_record.h"

namespace Battery {

platform::SYSTEM_POWER_STATUS PowerStatus{};
std::string FileName;

namespace {

[[noreturn]] void RunStatusCycle(std::int32_t interval) {
    for (;;) {
        WriteCurrentStatus();
        // The time spent on the query and the write is not subtracted.
        platform::Sleep(static_cast<std::uint32_t>(interval));
    }
}

} // namespace

void Main() {
    const std::string argumentText = platform::ArgumentText();
    if (argumentText.empty()) return;

    const StartupArguments arguments = ReadArgumentText(argumentText);
    FileName = arguments.FileName;
    if (arguments.Interval > 0) RunStatusCycle(arguments.Interval);

    // No cycle: create the file when missing, leave it as it is otherwise.
    WriteStatus(FileName, {});
}

void WriteStatus(const std::string& fileName, std::string_view record) {
    const platform::FileResult result = platform::WriteAtStart(fileName, record);
    if (!result.ok) {
        throw std::runtime_error("cannot write the status file " + QuotedForMessage(fileName) + ": " +
                                 result.reason);
    }
}

void WriteCurrentStatus() {
    const bool answered = platform::GetSystemPowerStatus(&PowerStatus) != 0;
    WriteStatus(FileName, BuildStatusRecord(PowerStatus, answered));
}

} // namespace Battery
