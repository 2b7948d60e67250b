#include "statuswriter/Battery.h"

#include <cstdint>

#include "platform/message_text.h"
#include "platform/process.h"
#include "platform/status_file.h"
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

void Main(const StartupArguments& arguments) {
    FileName = arguments.FileName;
    if (arguments.Interval > 0) RunStatusCycle(arguments.Interval);

    // No cycle: create the file when missing, leave it as it is otherwise.
    WriteStatus(FileName, {});
}

void WriteStatus(const std::string& fileName, std::string_view record) {
    const platform::Result<platform::Done> written = platform::WriteAtStart(fileName, record);
    if (!written) {
        throw platform::Error("cannot write the status file " + platform::QuotedForMessage(fileName) + ": " +
                              written.Reason());
    }
}

// A failed query is no error here: the record says so with its first field.
void WriteCurrentStatus() {
    const bool answered = platform::GetSystemPowerStatus(&PowerStatus).Ok();
    WriteStatus(FileName, BuildStatusRecord(PowerStatus, answered));
}

} // namespace Battery
