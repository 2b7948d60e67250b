#include "platform/status_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "platform/linux/retry_interrupted.h"

namespace platform {

Result<Done> WriteAtStart(const std::string& fileName, std::string_view bytes) {
    // Non-blocking: a FIFO or device given as the name fails at once instead of hanging.
    const int fd = linux_detail::RetryInterrupted(
        [&] { return ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666); });
    if (fd == -1) return Result<Done>::Failed(std::strerror(errno));

    // One positioned write; a short or interrupted write is carried on from where it stopped.
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = linux_detail::RetryInterrupted(
            [&] { return ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done)); });
        if (n <= 0) {
            const auto failed = Result<Done>::Failed(n < 0 ? std::strerror(errno) : "nothing was written");
            ::close(fd);
            return failed;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) == -1 && errno != EINTR) return Result<Done>::Failed(std::strerror(errno));
    return Done{};
}

} // namespace platform
