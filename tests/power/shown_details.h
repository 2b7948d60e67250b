// Every fact of a details reading as one text, unknowns as "-": for comparing two readings
// with readable failures (the tests and the fuzz target).
#pragma once

#include <optional>
#include <sstream>
#include <string>

#include "platform/power_details.h"

namespace platform {

inline std::string ShownDetails(const PowerDetails& d) {
    std::ostringstream out;
    out.precision(17);
    const auto put = [&out](const char* name, const auto& value) {
        out << ' ' << name << '=';
        if (value) out << *value;
        else out << '-';
    };
    const auto& r = d.record;
    out << "record " << int{r.ACLineStatus} << ' ' << int{r.BatteryFlag} << ' ' << int{r.BatteryLifePercent} << ' '
        << int{r.Reserved1} << ' ' << r.BatteryLifeTime << ' ' << r.BatteryFullLifeTime;
    put("mains", d.onMains);
    put("percent", d.percent);
    put("empty", d.secondsToEmpty);
    put("full", d.secondsToFull);
    put("draw", d.drawWatts);
    out << " charging=" << d.charging << " none=" << d.noBattery << '\n';
    for (const BatteryDetails& b : d.batteries) {
        out << b.name;
        put("maker", b.manufacturer);
        put("model", b.model);
        put("technology", b.technology);
        put("state", b.state ? std::optional<int>(static_cast<int>(*b.state)) : std::nullopt);
        put("percent", b.percent);
        put("now", b.energyNowWh);
        put("full", b.energyFullWh);
        put("design", b.energyFullDesignWh);
        put("health", b.healthPercent);
        put("cycles", b.cycleCount);
        put("draw", b.drawWatts);
        out << '\n';
    }
    return out.str();
}

} // namespace platform
