// The three power-source pictures, each decoded once on first use and kept for the life of
// the program: the window draws from them until it closes.
#include "monitor/art/art.h"

#include "battery.xpm"
#include "charging.xpm"
#include "mains.xpm"

namespace art {

const platform::Image& ChargingPicture() {
    static const platform::Image image = DecodeXpm(charging_xpm);
    return image;
}

const platform::Image& MainsPicture() {
    static const platform::Image image = DecodeXpm(mains_xpm);
    return image;
}

const platform::Image& BatteryPicture() {
    static const platform::Image image = DecodeXpm(battery_xpm);
    return image;
}

} // namespace art
