// The three power-source pictures, each decoded once on first use so the window loop,
// which asks for them on every turn, never decodes again.
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
