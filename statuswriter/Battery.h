// The status writer's one module: start-up, the status cycle and the file write.
#pragma once

#include <string>
#include <string_view>

#include "platform/power_status.h"
#include "statuswriter/startup_arguments.h"

namespace Battery {

// The power status snapshot for the whole run: all zero at start, written only by the query.
extern platform::SYSTEM_POWER_STATUS PowerStatus;
// The output file name, piece 1 of the argument text, used exactly.
extern std::string FileName;

// Entry procedure, once main has read the argument text (ReadArgumentText): makes the single
// empty write or cycles for ever. Throws platform::Error when the file can't be opened or written.
void Main(const StartupArguments& arguments);

// Puts record over the first bytes of the named file, creating it when missing.
// Throws platform::Error naming the file and the system's reason.
void WriteStatus(const std::string& fileName, std::string_view record);

// One turn of the status cycle without its sleep: query, record, write.
void WriteCurrentStatus();

} // namespace Battery
