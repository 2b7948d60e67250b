#include "platform/linux/power_supply_reader.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <limits.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/linux/power_supply_directory.h"
#include "platform/linux/power_supply_tally.h"
#include "platform/linux/retry_interrupted.h"

namespace platform::linux_detail {
namespace {

// sysfs hands out at most one page per attribute, uevent included.
constexpr std::size_t kFileLimit = 4096;
// A directory of more entries than this is no kernel's: the rest are opened at each query.
constexpr std::size_t kMostKept = 64;

int OpenEntryFile(int listing, const char* path) {
    // Non-blocking so that a stray FIFO cannot hang the query.
    return RetryInterrupted([&] { return ::openat(listing, path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK); });
}

// Still the file its path names, as far as one call can tell: a file replaced by a rename, or
// removed, has no link left.
bool StillLinked(int descriptor) {
    struct stat status {};
    return ::fstat(descriptor, &status) == 0 && status.st_nlink > 0;
}

class EntryFiles {
public:
    EntryFiles(int listing, const char* name) : listing_(listing), name_(name) {
        const std::size_t length = ::strnlen(name, NAME_MAX);
        std::memcpy(path_, name, length);
        path_[length] = '/';
        leaf_ = path_ + length + 1;
    }

    // The content of entry/<file>, or an empty view when it cannot be read.
    // A file that fills the whole buffer may go on beyond it: Cut() says so.
    std::string_view Read(const char* file) {
        cut_ = false;
        std::strcpy(leaf_, file);
        const int fd = OpenEntryFile(listing_, path_);
        if (fd == -1) return {};
        const ssize_t n = RetryInterrupted([&] { return ::read(fd, buffer_, sizeof buffer_); });
        ::close(fd);
        return Content(n);
    }
    // The uevent file, read through the files kept open.
    std::string_view ReadUevent(KeptFiles& kept, std::uint64_t entry) {
        cut_ = false;
        return Content(kept.ReadUevent(listing_, name_, entry, buffer_, sizeof buffer_));
    }
    bool Cut() const { return cut_; }

    void ReadProperty(PowerSupply& supply, SupplyProperty property) {
        const std::string_view text = Read(AttributeFileName(property));
        // No property of the kernel's is a page long; the end of one could be lost.
        SetSupplyProperty(supply, property, Cut() ? std::string_view{} : text);
    }

private:
    std::string_view Content(ssize_t n) {
        if (n <= 0) return {};
        cut_ = static_cast<std::size_t>(n) == sizeof buffer_;
        return {buffer_, static_cast<std::size_t>(n)};
    }

    int listing_;
    const char* name_;
    char path_[NAME_MAX + 1 + 32];
    char* leaf_;
    char buffer_[kFileLimit];
    bool cut_ = false;
};

bool HasPositive(const std::optional<std::int64_t>& value) { return value && *value > 0; }

// Attribute by attribute, reading only what the supply's kind can use, in the order that lets
// later files be skipped. Each skip mirrors a rule of the tally: a file is left unread only
// where its value cannot change the reading.
void ReadAttributeFiles(EntryFiles& files, PowerSupply& supply, SupplyReading reading) {
    files.ReadProperty(supply, SupplyProperty::Type);
    if (supply.type != SupplyType::Battery) {
        files.ReadProperty(supply, SupplyProperty::Online);
        // A supply of type Unknown may yet turn out to be an old driver's battery.
        if (supply.type != SupplyType::Unknown) {
            if (supply.online) files.ReadProperty(supply, SupplyProperty::Scope);
            return;
        }
    }
    files.ReadProperty(supply, SupplyProperty::Scope);
    if (supply.scope == SupplyScope::Device) return;
    files.ReadProperty(supply, SupplyProperty::Present);
    if (supply.present == 0) return;

    files.ReadProperty(supply, SupplyProperty::Status);
    files.ReadProperty(supply, SupplyProperty::Capacity);
    files.ReadProperty(supply, SupplyProperty::EnergyNow);
    if (!supply.energyNow) files.ReadProperty(supply, SupplyProperty::EnergyAvg);
    files.ReadProperty(supply, SupplyProperty::EnergyFull);
    const bool energyPair = HasEnergyPair(supply);
    if (!energyPair) {
        files.ReadProperty(supply, SupplyProperty::ChargeNow);
        if (!supply.chargeNow) files.ReadProperty(supply, SupplyProperty::ChargeAvg);
        files.ReadProperty(supply, SupplyProperty::ChargeFull);
    }
    files.ReadProperty(supply, SupplyProperty::PowerNow);
    if (!supply.powerNow) files.ReadProperty(supply, SupplyProperty::CurrentNow);
    const bool drawOfNow = supply.powerNow || supply.currentNow;
    if (!drawOfNow) {
        files.ReadProperty(supply, SupplyProperty::PowerAvg);
        if (!supply.powerAvg) files.ReadProperty(supply, SupplyProperty::CurrentAvg);
    }

    // The coarse level stands in whenever no percentage can be worked out for all the batteries
    // together (a charge pair without a voltage beside an energy pair, say), which only the
    // whole tally knows: read it always, as uevent gives it.
    files.ReadProperty(supply, SupplyProperty::CapacityLevel);
    // The kernel's own estimate stands in whenever the draw turns out unusable (absent, zero or
    // out of range, even once converted), which only the whole tally knows: read it always.
    files.ReadProperty(supply, SupplyProperty::TimeToEmptyAvg);
    if (!HasPositive(supply.timeToEmptyAvg)) files.ReadProperty(supply, SupplyProperty::TimeToEmptyNow);

    bool designInCharge = false;
    if (reading == SupplyReading::Details) {
        files.ReadProperty(supply, SupplyProperty::TimeToFullAvg);
        if (!HasPositive(supply.timeToFullAvg)) files.ReadProperty(supply, SupplyProperty::TimeToFullNow);
        files.ReadProperty(supply, SupplyProperty::EnergyFullDesign);
        if (!HasPositive(supply.energyFullDesign)) {
            files.ReadProperty(supply, SupplyProperty::ChargeFullDesign);
            designInCharge = HasPositive(supply.chargeFullDesign);
        }
        files.ReadProperty(supply, SupplyProperty::CycleCount);
        files.ReadProperty(supply, SupplyProperty::Manufacturer);
        files.ReadProperty(supply, SupplyProperty::ModelName);
        files.ReadProperty(supply, SupplyProperty::Technology);
    }

    // The voltage turns charge into energy and current into power.
    const bool chargeToConvert = !energyPair && (ChargeNow(supply) || HasPositive(supply.chargeFull));
    const bool currentToConvert = drawOfNow ? !supply.powerNow : !supply.powerAvg && supply.currentAvg;
    if (!chargeToConvert && !currentToConvert && !designInCharge) return;
    files.ReadProperty(supply, SupplyProperty::VoltageNow);
    if (HasPositive(supply.voltageNow)) return;
    files.ReadProperty(supply, SupplyProperty::VoltageAvg);
    if (HasPositive(supply.voltageAvg)) return;
    files.ReadProperty(supply, SupplyProperty::VoltageMinDesign);
    if (HasPositive(supply.voltageMinDesign)) return;
    files.ReadProperty(supply, SupplyProperty::VoltageMaxDesign);
}

} // namespace

KeptFiles::~KeptFiles() {
    for (const File& file : files_) ::close(file.Descriptor);
    if (listing_ != -1) ::close(listing_);
}

int KeptFiles::Listing(const char* path) {
    if (listing_ != -1 && path_ == path) {
        // The kernel's directory stays the same one for the system's life; another (a test's,
        // a demo's) may be a link swapped between two queries, so its path is looked up again.
        bool same = kernels_;
        if (!same) {
            struct stat named {};
            if (RetryInterrupted([&] { return ::stat(path, &named); }) != 0) return -1;
            same = named.st_dev == device_ && named.st_ino == inode_;
        }
        if (same && ::lseek(listing_, 0, SEEK_SET) == 0) return listing_;
    }
    // Another directory: the files kept are another directory's.
    for (const File& file : files_) ::close(file.Descriptor);
    files_.clear();
    if (listing_ != -1) ::close(listing_);
    path_ = path;
    kernels_ = path_ == kPowerSupplyDirectory;
    listing_ = RetryInterrupted([&] { return ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    struct stat opened {};
    if (listing_ != -1 && ::fstat(listing_, &opened) == 0) {
        device_ = opened.st_dev;
        inode_ = opened.st_ino;
    }
    return listing_;
}

ssize_t KeptFiles::ReadUevent(int listing, const char* name, std::uint64_t entry, char* buffer, std::size_t size) {
    const auto kept = std::find_if(files_.begin(), files_.end(), [&](const File& file) { return file.Name == name; });
    if (kept != files_.end()) {
        // The kernel never replaces a supply's file: a supply it removes fails the read.
        if (kept->Entry == entry && (kernels_ || StillLinked(kept->Descriptor))) {
            const ssize_t n = RetryInterrupted([&] { return ::pread(kept->Descriptor, buffer, size, 0); });
            if (n >= 0) {
                kept->Read = true;
                return n;
            }
        }
        ::close(kept->Descriptor);
        files_.erase(kept);
    }
    const std::string path = std::string(name) + "/uevent";
    const int fd = OpenEntryFile(listing, path.c_str());
    if (fd == -1) return -1;
    const ssize_t n = RetryInterrupted([&] { return ::read(fd, buffer, size); });
    if (n < 0 || files_.size() >= kMostKept) {
        ::close(fd);
        return n;
    }
    files_.push_back({name, entry, fd, true});
    return n;
}

void KeptFiles::CloseUnread() {
    const auto unread = std::stable_partition(files_.begin(), files_.end(), [](const File& file) { return file.Read; });
    for (auto file = unread; file != files_.end(); ++file) ::close(file->Descriptor);
    files_.erase(unread, files_.end());
    for (File& file : files_) file.Read = false;
}

PowerSupply ReadPowerSupply(int listing, const char* name, SupplyReading reading, KeptFiles* kept,
                            std::uint64_t entry) {
    PowerSupply supply;
    EntryFiles files(listing, name);
    std::string_view uevent = kept ? files.ReadUevent(*kept, entry) : files.Read("uevent");
    // Only whole lines count: a number cut off at the buffer's end would read as a smaller one.
    if (files.Cut()) uevent = uevent.substr(0, uevent.rfind('\n') + 1);
    if (uevent.empty()) {
        ReadAttributeFiles(files, supply, reading);
        return supply;
    }
    // The kernel writes every property it has into uevent, so a property missing
    // there has no attribute file either; only the type joined uevent late.
    const std::uint32_t carried = ApplyUevent(supply, uevent);
    if (!(carried & PropertyBit(SupplyProperty::Type))) files.ReadProperty(supply, SupplyProperty::Type);
    return supply;
}

} // namespace platform::linux_detail
