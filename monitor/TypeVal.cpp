// The power-state text and the picture of the power source.
#include "monitor/fNevlin.h"

namespace {

// The level bits combine with the charging bit, so every flag below "no battery" with the
// charging bit set is charging.
bool IsCharging(std::uint8_t flgval) {
    return (flgval & platform::kBatteryFlagCharging) != 0 && flgval < platform::kBatteryFlagNoBattery;
}

std::string TimeLeftText(std::int32_t secval) {
    const std::int32_t hours = secval / 3600;
    const std::int32_t minutes = (secval - hours * 3600) / 60;
    std::string text = std::to_string(hours);
    text += " ч. ";
    if (minutes < 10) text += '0';
    text += std::to_string(minutes);
    text += " м.";
    return text;
}

} // namespace

std::string fNevlin::TypeVal(std::uint8_t stval, std::uint8_t flgval, std::int32_t secval) {
    if (stval != 0) { // on mains, or the mains state is unknown
        if (IsCharging(flgval)) {
            ShowPicture(0);
            return "Зарядка";
        }
        ShowPicture(1);
        return "От сети";
    }
    ShowPicture(2);
    if (secval > 0) return TimeLeftText(secval);
    return "От батареи";
}

// Visibilities go in index order, so exactly one picture shows after each call.
void fNevlin::ShowPicture(int index) {
    for (int i = 0; i < static_cast<int>(controls_.Image1.size()); ++i) SetVisible(controls_.Image1[i], i == index);
}
