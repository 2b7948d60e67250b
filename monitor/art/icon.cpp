// The percent-sign icon in all its drawings, decoded once.
#include "monitor/art/art.h"
#include "monitor/art/icon_variants.h"

#include "percent16_16colour.xpm"
#include "percent32_16colour.xpm"
#include "percent32_256colour.xpm"
#include "percent32_mono.xpm"

namespace art {

const std::vector<IconVariant>& IconVariants() {
    static const platform::Image large256 = DecodeXpm(percent32_256colour_xpm);
    static const platform::Image large16 = DecodeXpm(percent32_16colour_xpm);
    static const platform::Image small16 = DecodeXpm(percent16_16colour_xpm);
    static const platform::Image largeMono = DecodeXpm(percent32_mono_xpm);
    static const std::vector<IconVariant> variants = {
        {&large256, 8}, {&large16, 4}, {&small16, 4}, {&largeMono, 1}};
    return variants;
}

// Window icons are shown in colour on every desktop today, so the window gets the richest
// drawing of each size; the black-and-white one lives only in the program's icon file.
std::vector<const platform::Image*> IconImages() {
    const auto& variants = IconVariants();
    return {variants[0].Image, variants[2].Image};
}

} // namespace art
