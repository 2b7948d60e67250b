// Byte access to the status file: opened by name for each write, shared, never truncated.
#pragma once

#include <string>
#include <string_view>

#include "platform/process.h"

namespace platform {

// Opens fileName (UTF-8), creating it empty when missing, writes bytes at offset 0
// completely, and closes it. No lock, no truncation, no temporary file. A failure carries
// the system's reason, e.g. "Permission denied".
Result<Done> WriteAtStart(const std::string& fileName, std::string_view bytes);

} // namespace platform
