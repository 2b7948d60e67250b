// The layer-shell protocol's generated client header, which names an argument `namespace`:
// a keyword in C++; and how nevlin places its layer surfaces.
#pragma once

#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wkeyword-macro" // renaming the keyword is the point
#endif
#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client.h"
#undef namespace
#if defined(__clang__)
#pragma clang diagnostic pop
#endif

#include <cstdint>

namespace platform::wayland {

// Both of nevlin's layer surfaces are placed by margins from the output's top-left corner...
constexpr std::uint32_t kAnchorTopLeft = ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT;
// ...counted from the output's edges, whatever other layers reserve there.
constexpr std::int32_t kIgnoreExclusiveZones = -1;

} // namespace platform::wayland
