#include "platform/linux/power_supply_directory.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/linux/power_rate_average.h"
#include "platform/linux/retry_interrupted.h"
#include "platform/linux/power_supply_details.h"
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

// Calls take(listing, name, entry) for every entry that may hold a supply, `entry` being its
// inode number; fails only when the directory cannot be opened. With `kept`, the directory and
// the supplies' uevent files stay open from one call to the next.
template <class Take>
Result<Done> ForEachSupply(const char* directory, KeptFiles* kept, Take&& take) {
    const int listing = kept != nullptr ? kept->Listing(directory)
                                        : RetryInterrupted([&] { return ::open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (listing == -1) return Result<Done>::Failed(QuotedForMessage(directory) + ": " + std::strerror(errno));
    alignas(dirent64) char entries[4096];
    for (;;) {
        const ssize_t size = RetryInterrupted([&] { return ::getdents64(listing, entries, sizeof entries); });
        // A listing cut short still reports the supplies seen so far.
        if (size <= 0) break;
        for (ssize_t at = 0; at < size;) {
            const auto* entry = reinterpret_cast<const dirent64*>(entries + at);
            at += entry->d_reclen;
            if (MayHoldSupply(*entry)) take(listing, entry->d_name, entry->d_ino);
        }
    }
    if (kept != nullptr)
        kept->CloseUnread();
    else
        ::close(listing);
    return Done{};
}

std::optional<std::int64_t> AveragedRate(const PowerSupplyTally& tally, RateAverage* average) {
    const std::optional<std::int64_t> rate = tally.Rate();
    if (average == nullptr) return rate;
    return average->Next(rate, tally.LineStatus(), tally.BatterySet());
}

} // namespace

Result<Done> ReadPowerStatus(const char* directory, SYSTEM_POWER_STATUS* status, RateAverage* average,
                             KeptFiles* kept) {
    if (status == nullptr || directory == nullptr) return Result<Done>::Failed("no directory or no record to fill");
    PowerSupplyTally tally;
    const Result<Done> listed = ForEachSupply(directory, kept, [&](int listing, const char* name, std::uint64_t entry) {
        tally.Add(ReadPowerSupply(listing, name, SupplyReading::Record, kept, entry), name);
    });
    if (!listed) return listed;
    *status = tally.Result(AveragedRate(tally, average));
    return Done{};
}

Result<PowerDetails> ReadPowerDetails(const char* directory, RateAverage* average, KeptFiles* kept) {
    if (directory == nullptr) return Result<PowerDetails>::Failed("no directory");
    PowerSupplyTally tally;
    std::vector<BatteryDetails> batteries;
    const Result<Done> listed = ForEachSupply(directory, kept, [&](int listing, const char* name, std::uint64_t entry) {
        const PowerSupply supply = ReadPowerSupply(listing, name, SupplyReading::Details, kept, entry);
        tally.Add(supply, name);
        if (IsSystemBattery(supply)) batteries.push_back(BatteryDetailsOf(supply, name));
    });
    if (!listed) return Result<PowerDetails>::Failed(listed.Reason());
    const std::optional<std::int64_t> rate = AveragedRate(tally, average);
    PowerDetails details = DetailsOfRecord(tally.Result(rate));
    details.secondsToFull = tally.SecondsToFull(details.record, rate);
    if (rate) details.drawWatts = static_cast<double>(*rate) / 1e6;
    std::sort(batteries.begin(), batteries.end(),
              [](const BatteryDetails& a, const BatteryDetails& b) { return a.name < b.name; });
    details.batteries = std::move(batteries);
    return details;
}

} // namespace platform::linux_detail
