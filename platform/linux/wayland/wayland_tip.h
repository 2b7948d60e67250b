// The details tip on a layer-shell compositor: a layer surface of its own in the overlay layer
// beside the panel, on the panel's output, never over the panel and taking no input.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/tip_layout.h"
#include "platform/linux/wayland/wayland_display.h"
#include "platform/linux/wayland/wayland_painter.h"

struct zwlr_layer_surface_v1;

namespace platform::wayland {

class TipLayer {
public:
    explicit TipLayer(Connection& connection) : connection_(connection), painter_(connection.Shm()) {}
    ~TipLayer() { Hide(); }
    TipLayer(const TipLayer&) = delete;
    TipLayer& operator=(const TipLayer&) = delete;

    // Shows `lines` beside `panel` on `output`, or the new lines where it shows already.
    void Show(const std::vector<std::string>& lines, const LayoutRect& panel, const Output& output);
    void Hide();

private:
    friend struct TipListeners;

    Connection& connection_;
    Painter painter_;
    std::unique_ptr<TipLayout> layout_;
    wl_surface* surface_ = nullptr;
    zwlr_layer_surface_v1* layer_ = nullptr;
    std::uint32_t outputName_ = 0;
    int width_ = 0; // as the compositor configured it
    int height_ = 0;
    bool configured_ = false;
};

} // namespace platform::wayland
