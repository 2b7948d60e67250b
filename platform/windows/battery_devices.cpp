#include "platform/windows/battery_devices.h"

#include <initguid.h> // defines the class GUID below in this file

#include <devguid.h>
#include <setupapi.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cwctype>
#include <memory>
#include <optional>

#include "platform/blanks.h"
#include "platform/windows/wide_text.h"

namespace platform::windows_detail {
namespace {

constexpr std::int64_t kLongestTime = 7 * 24 * 3600; // s, as the record's times

std::optional<double> Known(ULONG capacity) {
    if (capacity == BATTERY_UNKNOWN_CAPACITY) return std::nullopt;
    return static_cast<double>(capacity);
}

bool IsRelative(const BatteryDeviceReading& reading) {
    return (reading.information.Capabilities & BATTERY_CAPACITY_RELATIVE) != 0;
}

std::optional<double> RateMilliwatts(const BatteryDeviceReading& reading) {
    if (static_cast<ULONG>(reading.status.Rate) == BATTERY_UNKNOWN_RATE || IsRelative(reading)) return std::nullopt;
    return std::abs(static_cast<double>(reading.status.Rate));
}

std::optional<std::string> Text(const std::wstring& wide) {
    std::string text = Utf8FromWide(wide.substr(0, wide.find(L'\0')));
    text = std::string(TrimBlanks(text));
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    if (text.empty()) return std::nullopt;
    return text;
}

// The four letters of the chemistry, in the words the kernel uses where they are known.
std::optional<std::string> Technology(const UCHAR (&chemistry)[4]) {
    std::wstring letters;
    for (const UCHAR c : chemistry)
        if (c != 0) letters += static_cast<wchar_t>(c);
    std::wstring upper = letters;
    for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(c));
    constexpr std::array<std::pair<const wchar_t*, const char*>, 7> kWords{{
        {L"LION", "Li-ion"}, {L"LI-I", "Li-ion"}, {L"LIP", "Li-poly"}, {L"LIPO", "Li-poly"},
        {L"NIMH", "NiMH"}, {L"NICD", "NiCd"}, {L"PBAC", "Pb-acid"},
    }};
    for (const auto& [code, word] : kWords)
        if (upper == code) return word;
    return Text(letters);
}

std::optional<BatteryState> StateOf(const BatteryDeviceReading& reading) {
    const ULONG state = reading.status.PowerState;
    if (state & BATTERY_CHARGING) return BatteryState::Charging;
    if (state & BATTERY_DISCHARGING) return BatteryState::Discharging;
    if (!(state & BATTERY_POWER_ON_LINE)) return BatteryState::Unknown;
    const std::optional<double> now = Known(reading.status.Capacity);
    const std::optional<double> full = Known(reading.information.FullChargedCapacity);
    return now && full && *now >= *full ? BatteryState::Full : BatteryState::NotCharging;
}

// The answer to one IOCTL_BATTERY_QUERY_INFORMATION that gives a text.
std::wstring QueryText(HANDLE device, ULONG tag, BATTERY_QUERY_INFORMATION_LEVEL level) {
    BATTERY_QUERY_INFORMATION query{};
    query.BatteryTag = tag;
    query.InformationLevel = level;
    wchar_t text[256]{};
    DWORD returned = 0;
    if (!::DeviceIoControl(device, IOCTL_BATTERY_QUERY_INFORMATION, &query, sizeof query, text,
                           sizeof text - sizeof(wchar_t), &returned, nullptr))
        return {};
    return text;
}

std::optional<BatteryDeviceReading> ReadBatteryDevice(const wchar_t* path) {
    const HANDLE device = ::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (device == INVALID_HANDLE_VALUE) return std::nullopt;
    const std::unique_ptr<void, decltype(&::CloseHandle)> closer(device, &::CloseHandle);

    ULONG wait = 0, tag = 0;
    DWORD returned = 0;
    // A tag of 0: the slot holds no battery.
    if (!::DeviceIoControl(device, IOCTL_BATTERY_QUERY_TAG, &wait, sizeof wait, &tag, sizeof tag, &returned, nullptr) ||
        tag == 0)
        return std::nullopt;

    BatteryDeviceReading reading;
    reading.information.DesignedCapacity = BATTERY_UNKNOWN_CAPACITY;
    reading.information.FullChargedCapacity = BATTERY_UNKNOWN_CAPACITY;
    reading.status.Capacity = BATTERY_UNKNOWN_CAPACITY;
    reading.status.Voltage = BATTERY_UNKNOWN_VOLTAGE;
    reading.status.Rate = static_cast<LONG>(BATTERY_UNKNOWN_RATE);

    BATTERY_QUERY_INFORMATION query{};
    query.BatteryTag = tag;
    query.InformationLevel = BatteryInformation;
    BATTERY_INFORMATION information{};
    if (::DeviceIoControl(device, IOCTL_BATTERY_QUERY_INFORMATION, &query, sizeof query, &information,
                          sizeof information, &returned, nullptr))
        reading.information = information;
    reading.deviceName = QueryText(device, tag, BatteryDeviceName);
    reading.manufacturer = QueryText(device, tag, BatteryManufactureName);

    BATTERY_WAIT_STATUS now{};
    now.BatteryTag = tag;
    BATTERY_STATUS status{};
    if (::DeviceIoControl(device, IOCTL_BATTERY_QUERY_STATUS, &now, sizeof now, &status, sizeof status, &returned,
                          nullptr))
        reading.status = status;
    return reading;
}

} // namespace

std::vector<BatteryDeviceReading> ReadBatteryDevices() {
    std::vector<BatteryDeviceReading> readings;
    const HDEVINFO devices =
        ::SetupDiGetClassDevsW(&GUID_DEVCLASS_BATTERY, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (devices == INVALID_HANDLE_VALUE) return readings;
    // A laptop has one or two; the bound only guards against a system that never says "no more".
    for (DWORD index = 0; index < 64; ++index) {
        SP_DEVICE_INTERFACE_DATA interfaceData{};
        interfaceData.cbSize = sizeof interfaceData;
        if (!::SetupDiEnumDeviceInterfaces(devices, nullptr, &GUID_DEVCLASS_BATTERY, index, &interfaceData)) break;
        DWORD size = 0;
        ::SetupDiGetDeviceInterfaceDetailW(devices, &interfaceData, nullptr, 0, &size, nullptr);
        if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
        // Held as DWORDs for the detail's alignment.
        std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD));
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!::SetupDiGetDeviceInterfaceDetailW(devices, &interfaceData, detail, size, nullptr, nullptr)) continue;
        if (std::optional<BatteryDeviceReading> reading = ReadBatteryDevice(detail->DevicePath))
            readings.push_back(std::move(*reading));
    }
    ::SetupDiDestroyDeviceInfoList(devices);
    return readings;
}

BatteryDetails BatteryDetailsOf(const BatteryDeviceReading& reading, int index) {
    BatteryDetails details;
    details.name = "BAT" + std::to_string(index);
    details.manufacturer = Text(reading.manufacturer);
    details.model = Text(reading.deviceName);
    details.technology = Technology(reading.information.Chemistry);
    details.state = StateOf(reading);

    const std::optional<double> now = Known(reading.status.Capacity);
    const std::optional<double> full = Known(reading.information.FullChargedCapacity);
    std::optional<double> design = Known(reading.information.DesignedCapacity);
    if (design == 0) design.reset();
    if (now && full && *full > 0) details.percent = static_cast<int>(std::clamp(100 * *now / *full, 0.0, 100.0));
    // Relative capacities have no unit: they give the share and nothing else.
    if (!IsRelative(reading)) {
        if (now) details.energyNowWh = *now / 1000;
        if (full && *full > 0) details.energyFullWh = *full / 1000;
        if (design) details.energyFullDesignWh = *design / 1000;
        if (full && *full > 0 && design) details.healthPercent = 100 * *full / *design;
        if (const std::optional<double> rate = RateMilliwatts(reading)) details.drawWatts = *rate / 1000;
    }
    // 0: the battery keeps no count.
    if (reading.information.CycleCount > 0) details.cycleCount = reading.information.CycleCount;
    return details;
}

void AddDeviceTotals(PowerDetails& details, const std::vector<BatteryDeviceReading>& readings) {
    if (readings.empty()) return;
    double rate = 0, missing = 0;
    bool energyKnown = true;
    for (const BatteryDeviceReading& reading : readings) {
        const std::optional<double> own = RateMilliwatts(reading);
        if (!own) return;
        rate += *own;
        const std::optional<double> now = Known(reading.status.Capacity);
        const std::optional<double> full = Known(reading.information.FullChargedCapacity);
        if (now && full) missing += std::max(*full - *now, 0.0);
        else energyKnown = false;
    }
    details.drawWatts = rate / 1000;
    if (!details.charging || !energyKnown || rate <= 0) return;
    const double seconds = missing * 3600 / rate;
    if (seconds <= static_cast<double>(kLongestTime)) details.secondsToFull = static_cast<std::int32_t>(seconds);
}

} // namespace platform::windows_detail
