#include "platform/linux/power_supply_directory.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/power_rate_average.h"
#include "platform/linux/retry_interrupted.h"
#include "platform/linux/power_supply_reader.h"
#include "platform/linux/power_supply_tally.h"
#include "platform/message_text.h"

namespace platform::linux_detail {
namespace {

// Supplies show up as symbolic links (sysfs) or directories (copies of it);
// anything else cannot hold one.
bool MayHoldSupply(const dirent64& entry) {
    if (entry.d_name[0] == '.') return false;
    return entry.d_type == DT_LNK || entry.d_type == DT_DIR || entry.d_type == DT_UNKNOWN;
}

} // namespace

Result<Done> ReadPowerStatus(const char* directory, SYSTEM_POWER_STATUS* status, RateAverage* average,
                             KeptFiles* kept) {
    if (status == nullptr || directory == nullptr) return Result<Done>::Failed("no directory or no record to fill");
    const int listing = kept != nullptr ? kept->Listing(directory)
                                        : RetryInterrupted([&] { return ::open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (listing == -1) return Result<Done>::Failed(QuotedForMessage(directory) + ": " + std::strerror(errno));

    PowerSupplyTally tally;
    alignas(dirent64) char entries[4096];
    for (;;) {
        const ssize_t size = RetryInterrupted([&] { return ::getdents64(listing, entries, sizeof entries); });
        // A listing cut short still reports the supplies seen so far.
        if (size <= 0) break;
        for (ssize_t at = 0; at < size;) {
            const auto* entry = reinterpret_cast<const dirent64*>(entries + at);
            at += entry->d_reclen;
            if (MayHoldSupply(*entry)) tally.Add(ReadPowerSupply(listing, entry->d_name, kept, entry->d_ino), entry->d_name);
        }
    }
    if (kept != nullptr)
        kept->CloseUnread();
    else
        ::close(listing);
    std::optional<std::int64_t> rate = tally.Rate();
    if (average != nullptr) rate = average->Next(rate, tally.LineStatus(), tally.BatterySet());
    *status = tally.Result(rate);
    return Done{};
}

} // namespace platform::linux_detail
