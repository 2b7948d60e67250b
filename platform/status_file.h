// Byte access to the status file: opened by name for each write, shared, never truncated.
#pragma once

#include <string>
#include <string_view>

namespace platform {

struct FileResult {
    bool ok = true;
    std::string reason; // the system's reason when !ok, e.g. "Permission denied"
};

// Opens fileName (UTF-8), creating it empty when missing, writes bytes at offset 0
// completely, and closes it. No lock, no truncation, no temporary file.
FileResult WriteAtStart(const std::string& fileName, std::string_view bytes);

} // namespace platform
