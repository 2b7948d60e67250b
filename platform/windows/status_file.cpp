#include "platform/status_file.h"

#include "platform/windows/exact_path.h"
#include "platform/windows/system_message.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/win32.h"

namespace platform {
namespace {

// A pipe takes no write at an offset, and opening a Unix FIFO for writing (under Wine) would
// wait for a reader; asking for its attributes only opens it without waiting.
bool IsPipe(const std::wstring& name) {
    HANDLE probe = ::CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return false;
    const bool pipe = ::GetFileType(probe) == FILE_TYPE_PIPE;
    ::CloseHandle(probe);
    return pipe;
}

} // namespace

Result<Done> WriteAtStart(const std::string& fileName, std::string_view bytes) {
    using windows_detail::SystemMessage;
    const std::wstring name = windows_detail::ExactFileName(windows_detail::WideFromUtf8(fileName));
    if (IsPipe(name)) return Result<Done>::Failed("a pipe, not a file that can be written from its start");
    // Shared with every kind of access, so readers, other writers and deleters are never locked out.
    HANDLE file = ::CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Result<Done>::Failed(SystemMessage(::GetLastError()));

    // One write at offset 0; a short write is carried on from where it stopped.
    std::size_t done = 0;
    while (done < bytes.size()) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(done);
        DWORD written = 0;
        const DWORD wanted = static_cast<DWORD>(bytes.size() - done);
        if (!::WriteFile(file, bytes.data() + done, wanted, &written, &at)) {
            const auto failed = Result<Done>::Failed(SystemMessage(::GetLastError()));
            ::CloseHandle(file);
            return failed;
        }
        if (written == 0) {
            ::CloseHandle(file);
            return Result<Done>::Failed("nothing was written");
        }
        done += written;
    }
    if (!::CloseHandle(file)) return Result<Done>::Failed(SystemMessage(::GetLastError()));
    return Done{};
}

} // namespace platform
