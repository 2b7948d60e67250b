#include "platform/linux/power_supply_reader.h"

#include <cstring>
#include <fcntl.h>
#include <limits.h>
#include <string_view>
#include <unistd.h>

#include "platform/linux/power_supply_tally.h"
#include "platform/linux/retry_interrupted.h"

namespace platform::linux_detail {
namespace {

// sysfs hands out at most one page per attribute, uevent included.
constexpr std::size_t kFileLimit = 4096;

class EntryFiles {
public:
    EntryFiles(int listing, const char* name) : listing_(listing) {
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
        // Non-blocking so that a stray FIFO cannot hang the query.
        const int fd = RetryInterrupted(
            [&] { return ::openat(listing_, path_, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK); });
        if (fd == -1) return {};
        const ssize_t n = RetryInterrupted([&] { return ::read(fd, buffer_, sizeof buffer_); });
        ::close(fd);
        if (n <= 0) return {};
        cut_ = static_cast<std::size_t>(n) == sizeof buffer_;
        return {buffer_, static_cast<std::size_t>(n)};
    }
    bool Cut() const { return cut_; }

    void ReadProperty(PowerSupply& supply, SupplyProperty property) {
        const std::string_view text = Read(AttributeFileName(property));
        // No property of the kernel's is a page long; the end of one could be lost.
        SetSupplyProperty(supply, property, Cut() ? std::string_view{} : text);
    }

private:
    int listing_;
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

    // Without a level of its own a battery may still give a coarse one.
    if (!supply.capacity && !energyPair && !HasChargePair(supply))
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

PowerSupply ReadPowerSupply(int listing, const char* name, SupplyReading reading) {
    PowerSupply supply;
    EntryFiles files(listing, name);
    std::string_view uevent = files.Read("uevent");
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
