// Reads one entry of a power-supply directory with as few file opens as it can.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

#include "platform/linux/power_supply.h"

namespace platform::linux_detail {

// What a reading needs: the record's properties, or also those only the details use.
enum class SupplyReading : std::uint8_t { Record, Details };

// A power-supply directory and its supplies' uevent files kept open from one query to the
// next: a query lists the directory again from its start and reads each uevent file again from
// its start (sysfs makes the values anew for every such read) instead of opening and closing
// them. A directory other than the kernel's is opened again when its path names another one
// (a link swapped); a uevent file when its entry is another one than before (another inode: a
// supply the kernel added again), when reading it fails (a supply the kernel removed), and,
// outside the kernel's directory, when it was replaced or removed.
class KeptFiles {
public:
    KeptFiles() = default;
    ~KeptFiles();
    KeptFiles(const KeptFiles&) = delete;
    KeptFiles& operator=(const KeptFiles&) = delete;

    // The directory `path` to list from its start: a descriptor that stays open, or -1 (errno
    // set) when it can't be opened.
    int Listing(const char* path);
    // Reads the uevent file of entry `name` of `listing`; `entry` is the entry's inode number
    // from the listing. Returns the bytes read, -1 when it can't be read.
    ssize_t ReadUevent(int listing, const char* name, std::uint64_t entry, char* buffer, std::size_t size);
    // Closes the files of the entries not read since the previous call: call after each listing.
    void CloseUnread();

private:
    struct File {
        std::string Name;
        std::uint64_t Entry = 0;
        int Descriptor = -1;
        bool Read = false;
    };
    int listing_ = -1;
    std::string path_; // that the listing was opened by
    bool kernels_ = false; // the path is the kernel's directory
    dev_t device_ = 0;
    ino_t inode_ = 0;
    std::vector<File> files_;
};

// `listing` is an open descriptor of the power-supply directory, `name` one of
// its entries. A supply that cannot be read at all comes back with nothing known.
// With `kept`, its uevent file is read through it; `entry` is the entry's inode number.
PowerSupply ReadPowerSupply(int listing, const char* name, SupplyReading reading = SupplyReading::Record,
                            KeptFiles* kept = nullptr, std::uint64_t entry = 0);

} // namespace platform::linux_detail
